#include "scan/NameMatch.h"

#include <windows.h>

#include <algorithm>

namespace dv {

namespace {

// The DOS wildcards of the file system's name-in-expression test.
const wchar_t kDosStar = L'<'; // any run that leaves the name's last dot
const wchar_t kDosQm = L'>';   // one character but a dot; nothing at a dot or the end
const wchar_t kDosDot = L'"';  // a dot, or nothing at the end of the name

// Every "?" of a pattern has become DOS_QM by the time names are matched.
bool IsWildcard(wchar_t c) { return c == L'*' || c == kDosStar || c == kDosQm || c == kDosDot; }

// The character through the system's upcase table, the one file names are
// compared with (never a locale's casing).
wchar_t Upcase(wchar_t c) {
    using UpcaseProc = WCHAR(NTAPI*)(WCHAR);
    static const auto upcase = reinterpret_cast<UpcaseProc>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlUpcaseUnicodeChar")));
    if (c < 0x80)
        return c >= L'a' && c <= L'z' ? wchar_t(c - L'a' + L'A') : c;
    return upcase(c);
}

std::wstring Upcased(std::wstring text) {
    for (wchar_t& c : text)
        c = Upcase(c);
    return text;
}

// The expression the directory search hands the file system for a pattern at
// the end of an ordinary path; empty, which no name matches, when it names no
// file. The search makes "*.*" "*" outright; the expression built here for it
// matches every name just the same. A pattern that names a path keeps its
// \ / or :, which no name holds.
std::wstring DosExpression(std::wstring pattern) {
    const bool droppedDot = !pattern.empty() && pattern.back() == L'.';
    while (!pattern.empty() && (pattern.back() == L'.' || pattern.back() == L' '))
        pattern.pop_back();
    std::wstring expression = pattern;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const wchar_t next = i + 1 < pattern.size() ? pattern[i + 1] : L'\0';
        if (pattern[i] == L'?')
            expression[i] = kDosQm;
        else if (pattern[i] == L'*' && next == L'.')
            expression[i] = kDosStar;
        else if (pattern[i] == L'.' && (next == L'?' || next == L'*'))
            expression[i] = kDosDot;
    }
    if (droppedDot && !expression.empty() && expression.back() == L'*')
        expression.back() = kDosStar;
    return expression;
}

// Whether an expression character matches nothing with the name read up to at.
bool MatchesEmpty(wchar_t c, const std::wstring& name, size_t at) {
    const bool atEnd = at == name.size();
    return c == L'*' || c == kDosStar || (c == kDosQm && (atEnd || name[at] == L'.')) ||
           (c == kDosDot && atEnd);
}

// Whether an expression character takes the name's character at position at,
// staying (a run) or moving on to the next expression character.
struct Step {
    bool Stays, MovesOn;
};
Step Consume(wchar_t c, const TFoldedName& name, size_t at) {
    const wchar_t n = name.Text()[at];
    switch (c) {
    case L'*':
        return {true, false};
    case kDosStar:
        return {n != L'.' || at != name.LastDot(), false};
    case kDosQm:
        return {false, n != L'.'};
    case kDosDot:
        return {false, n == L'.'};
    default:
        return {false, c == n};
    }
}

} // namespace

void TFoldedName::Assign(const std::wstring& name) {
    text_.resize(name.size());
    for (size_t i = 0; i < name.size(); ++i)
        text_[i] = Upcase(name[i]);
    lastDot_ = text_.rfind(L'.');
}

TNamePattern::TNamePattern(const std::wstring& pattern)
    : expression_(Upcased(DosExpression(pattern))), reached_(expression_.size() + 1),
      next_(expression_.size() + 1) {
    const size_t size = expression_.size();
    while (headLength_ < size && !IsWildcard(expression_[headLength_]))
        ++headLength_;
    while (tailLength_ < size - headLength_ && !IsWildcard(expression_[size - 1 - tailLength_]))
        ++tailLength_;
    for (size_t start = headLength_; start < size - tailLength_;) {
        size_t end = start;
        while (end < size && !IsWildcard(expression_[end]))
            ++end;
        if (end - start > middle_.size())
            middle_ = expression_.substr(start, end - start);
        start = end + 1;
    }
}

bool TNamePattern::Matches(const TFoldedName& name) const {
    return LiteralsFit(name.Text()) && ExpressionMatches(name);
}

// Literal text in the expression matches only itself: a name without the
// expression's first and last literals at its ends, or without its longest
// literal run between them, cannot match.
bool TNamePattern::LiteralsFit(const std::wstring& name) const {
    if (name.size() < headLength_ + tailLength_)
        return false;
    for (size_t i = 1; i <= tailLength_; ++i)
        if (name[name.size() - i] != expression_[expression_.size() - i])
            return false;
    for (size_t i = 0; i < headLength_; ++i)
        if (name[i] != expression_[i])
            return false;
    if (middle_.empty())
        return true;
    const size_t found = name.find(middle_, headLength_);
    return found != std::wstring::npos && found + middle_.size() <= name.size() - tailLength_;
}

// Every state of the expression that the name read so far can reach is kept,
// as the file system's test does; characters that match nothing only lead on
// to the next state, so one sweep in order adds what they reach.
bool TNamePattern::ExpressionMatches(const TFoldedName& name) const {
    const std::wstring& text = name.Text();
    const size_t states = expression_.size() + 1;
    auto closeOver = [&](std::vector<char>& set, size_t at) {
        for (size_t s = 0; s + 1 < states; ++s)
            if (set[s] && MatchesEmpty(expression_[s], text, at))
                set[s + 1] = 1;
    };
    std::fill(reached_.begin(), reached_.end(), 0);
    reached_[0] = 1;
    closeOver(reached_, 0);
    for (size_t at = 0; at < text.size(); ++at) {
        std::fill(next_.begin(), next_.end(), 0);
        for (size_t s = 0; s + 1 < states; ++s) {
            if (!reached_[s])
                continue;
            const Step step = Consume(expression_[s], name, at);
            next_[s] |= step.Stays;
            next_[s + 1] |= step.MovesOn;
        }
        closeOver(next_, at + 1);
        reached_.swap(next_);
    }
    return reached_[states - 1];
}

bool NameMatchesPattern(const std::wstring& pattern, const std::wstring& name) {
    TFoldedName folded;
    folded.Assign(name);
    return TNamePattern(pattern).Matches(folded);
}

} // namespace dv
