// The floor per match of a scan: for each match, an append to the floor's own
// rows, the owner-data list view told the new count, and a round of the
// message pump made as the program makes it, in a window of the floor's own
// (hidden unless shown). Without the count, what is left is the append and
// the pump, which the scan's cost per match is judged against.
#include "Bench.h"
#include "Commands.h"

#include <commctrl.h>

#include <cstdio>

namespace dvbench {

namespace {

struct MatchRow {
    std::wstring Name, Dir;
    int64_t KB;
};

LRESULT CALLBACK MatchFrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_NOTIFY || reinterpret_cast<NMHDR*>(lParam)->code != UINT(LVN_GETDISPINFOW))
        return DefWindowProcW(hwnd, message, wParam, lParam);
    const auto& rows =
        *reinterpret_cast<const std::vector<MatchRow>*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(lParam)->item;
    if ((item.mask & LVIF_TEXT) && item.iItem < int(rows.size())) {
        const MatchRow& row = rows[size_t(item.iItem)];
        const std::wstring text = item.iSubItem == 0   ? row.Name
                                  : item.iSubItem == 1 ? row.Dir
                                                       : std::to_wstring(row.KB);
        lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
    }
    if (item.mask & LVIF_STATE) {
        item.state = INDEXTOSTATEIMAGEMASK(1);
        item.stateMask = LVIS_STATEIMAGEMASK;
    }
    return 0;
}

// A frame the size of the program's window with a report list of its size and
// columns, check boxes, owner data.
HWND MakeMatchWindow(std::vector<MatchRow>& rows, bool visible, HWND& list) {
    HWND frame = MakeFrame(L"DvBenchMatches", MatchFrameProc, &rows);
    list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                           WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL, 0,
                           105, 427, 118, frame, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_CHECKBOXES);
    const wchar_t* captions[] = {L"File name", L"Directory", L"Size (KB)"};
    const int widths[] = {130, 215, 60};
    for (int i = 0; i < 3; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.cx = widths[i];
        column.pszText = const_cast<wchar_t*>(captions[i]);
        column.iSubItem = i;
        SendMessageW(list, LVM_INSERTCOLUMNW, WPARAM(i), LPARAM(&column));
    }
    if (visible) {
        ShowWindow(frame, SW_SHOWNORMAL);
        UpdateWindow(frame);
    }
    return frame;
}

// A round of the pump as the program's scan runs it after each match.
void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

} // namespace

void FloorMatches(int matches, bool tellCount, bool visible) {
    // The matches as a scan finds them, made before the clock starts.
    std::vector<MatchRow> found;
    found.reserve(size_t(matches));
    for (int i = 0; i < matches; ++i) {
        wchar_t name[32];
        std::swprintf(name, 32, L"f%06d.bak", i);
        found.push_back({name, L"N:\\dir00\\dir01\\dir02", i % 7});
    }
    std::vector<MatchRow> rows;
    HWND list = nullptr;
    HWND frame = MakeMatchWindow(rows, visible, list);
    Pump();
    Stopwatch clock;
    for (const MatchRow& match : found) {
        rows.push_back(match);
        if (tellCount)
            SendMessageW(list, LVM_SETITEMCOUNT, WPARAM(rows.size()),
                         LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
        Pump();
    }
    const double seconds = clock.Seconds();
    DestroyWindow(frame);
    Report()
        .Add("seconds", seconds)
        .Add("per_match_us", seconds * 1e6 / matches)
        .Add("ok", int64_t(int(rows.size()) == matches));
}

} // namespace dvbench
