#include "scan/NameMatch.h"

#include <windows.h>

#include <vector>

namespace dv {

namespace {

// The DOS wildcards the directory search turns "?", "*" and "." into.
const wchar_t kDosStar = L'<'; // any run up to the name's last dot
const wchar_t kDosQm = L'>';   // one character, or none at a dot or the end
const wchar_t kDosDot = L'"';  // a dot, or nothing at the end of the name

// The pattern as the directory search rewrites it before the file system
// matches: "*.*" is "*"; "?" becomes DOS_QM; "*" before a dot DOS_STAR; a dot
// before "?" or "*", or at the end, DOS_DOT.
std::wstring DosExpression(const std::wstring& pattern) {
    if (pattern == L"*.*")
        return L"*";
    std::wstring expression = pattern;
    for (size_t i = 0; i < expression.size(); ++i) {
        const wchar_t next = i + 1 < pattern.size() ? pattern[i + 1] : L'\0';
        if (pattern[i] == L'?')
            expression[i] = kDosQm;
        else if (pattern[i] == L'*' && next == L'.')
            expression[i] = kDosStar;
        else if (pattern[i] == L'.' && (next == L'?' || next == L'*' || next == L'\0'))
            expression[i] = kDosDot;
    }
    return expression;
}

std::wstring Upper(std::wstring text) {
    if (!text.empty())
        CharUpperBuffW(text.data(), DWORD(text.size()));
    return text;
}

// Matches an expression against a name, both upper-cased, as the file system's
// name-in-expression test does: every state of the expression that the name
// read so far can reach is kept, so the cost is bounded by their product.
class ExpressionMatcher {
  public:
    ExpressionMatcher(const std::wstring& expression, const std::wstring& name)
        : expression_(expression), name_(name), lastDot_(name.rfind(L'.')) {}

    bool Matches() {
        std::vector<bool> states(expression_.size() + 1, false);
        AddState(states, 0, 0);
        for (size_t at = 0; at < name_.size(); ++at) {
            std::vector<bool> next(expression_.size() + 1, false);
            for (size_t state = 0; state < expression_.size(); ++state)
                if (states[state])
                    Consume(next, state, at);
            states.swap(next);
        }
        return states[expression_.size()];
    }

  private:
    // Adds a state and every state reachable from it without reading a character.
    void AddState(std::vector<bool>& states, size_t state, size_t at) {
        if (states[state])
            return;
        states[state] = true;
        if (state == expression_.size())
            return;
        const wchar_t c = expression_[state];
        const bool atEnd = at == name_.size();
        const bool skips = c == L'*' || c == kDosStar ||
                           (c == kDosQm && (atEnd || name_[at] == L'.')) || (c == kDosDot && atEnd);
        if (skips)
            AddState(states, state + 1, at);
    }

    // Reads the name's character at position at in the given state.
    void Consume(std::vector<bool>& next, size_t state, size_t at) {
        const wchar_t c = expression_[state], n = name_[at];
        switch (c) {
        case L'*':
            AddState(next, state, at + 1);
            return;
        case kDosStar:
            // Runs over any character but the name's last dot.
            if (n != L'.' || at != lastDot_)
                AddState(next, state, at + 1);
            return;
        case kDosQm:
            if (n != L'.')
                AddState(next, state + 1, at + 1);
            return;
        case kDosDot:
            if (n == L'.')
                AddState(next, state + 1, at + 1);
            return;
        case L'?':
            AddState(next, state + 1, at + 1);
            return;
        default:
            if (c == n)
                AddState(next, state + 1, at + 1);
        }
    }

    const std::wstring& expression_;
    const std::wstring& name_;
    const size_t lastDot_;
};

} // namespace

bool NameMatchesPattern(const std::wstring& pattern, const std::wstring& name) {
    const std::wstring expression = Upper(DosExpression(pattern)), upperName = Upper(name);
    return ExpressionMatcher(expression, upperName).Matches();
}

} // namespace dv
