// The NT file calls an operation makes, counted by kind through the program's
// own seam for them (NtFiles): so that a floor can be seen to make the calls
// the program makes, entry for entry. Not timed.
#include "Bench.h"
#include "Commands.h"

#include "app/NtFiles.h"

#include <map>
#include <mutex>
#include <stdexcept>

namespace dvbench {

namespace {

// The real calls, each counted under its kind: "open", "query<class>",
// "set<class>", "list<class>", "volume<class>". The program's worker and the
// window's thread may both call.
class CountingCalls : public dv::NtFiles {
  public:
    NTSTATUS Open(HANDLE parent, const std::wstring& name, ACCESS_MASK access, ULONG options,
                  ULONG objectFlags, HANDLE& opened) const override {
        const NTSTATUS status = NtFiles::Open(parent, name, access, options, objectFlags, opened);
        Count("open", 0, status);
        return status;
    }
    NTSTATUS QueryDirectory(HANDLE folder, void* buffer, ULONG size, FILE_INFORMATION_CLASS kind,
                            bool restart, ULONG& bytes) const override {
        const NTSTATUS status = NtFiles::QueryDirectory(folder, buffer, size, kind, restart, bytes);
        Count("list", int(kind), status);
        return status;
    }
    NTSTATUS QueryInformation(HANDLE entry, void* buffer, ULONG size,
                              FILE_INFORMATION_CLASS kind) const override {
        const NTSTATUS status = NtFiles::QueryInformation(entry, buffer, size, kind);
        Count("query", int(kind), status);
        return status;
    }
    NTSTATUS SetInformation(HANDLE entry, const void* buffer, ULONG size,
                            FILE_INFORMATION_CLASS kind) const override {
        const NTSTATUS status = NtFiles::SetInformation(entry, buffer, size, kind);
        Count("set", int(kind), status);
        return status;
    }
    NTSTATUS QueryVolume(HANDLE entry, void* buffer, ULONG size, ULONG kind) const override {
        const NTSTATUS status = NtFiles::QueryVolume(entry, buffer, size, kind);
        Count("volume", int(kind), status);
        return status;
    }

    // Each kind's count, and how many of them failed.
    void Print(Report& report) const {
        std::lock_guard hold(lock_);
        for (const auto& [kind, count] : counts_)
            report.Add(kind, count);
    }

  private:
    void Count(const char* call, int kind, NTSTATUS status) const {
        const std::string name = std::string(call) + (kind ? std::to_string(kind) : "");
        std::lock_guard hold(lock_);
        ++counts_[name];
        if (status < 0)
            ++counts_[name + "_failed"];
    }
    mutable std::mutex lock_;
    mutable std::map<std::string, int64_t> counts_;
};

} // namespace

void CountCalls(const std::vector<std::string>& command,
                const std::function<void(const std::vector<std::string>&)>& run) {
    if (command.empty())
        throw std::runtime_error("count-calls needs a command");
    CountingCalls calls;
    dv::UseNtFiles(&calls);
    try {
        run(command);
    } catch (...) {
        dv::UseNtFiles(nullptr);
        throw;
    }
    dv::UseNtFiles(nullptr);
    Report report;
    report.Add("counted", command.front());
    calls.Print(report);
}

} // namespace dvbench
