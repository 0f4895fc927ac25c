#pragma once
// Whether a file's own long name matches a file-type pattern, decided as the
// directory search of Windows decides it for a pattern at the end of an
// ordinary path ("C:\dir\*.TMP"):
//  - the path's normalisation drops the pattern's final dots and blanks; a
//    pattern left empty names the folder itself, never a file in it;
//  - the search turns the rest into the file system's DOS wildcards: "*.*"
//    becomes "*"; "?" becomes DOS_QM; a "*" before a dot DOS_STAR; a dot
//    before "?" or "*" DOS_DOT; and, when a final dot was dropped, a "*" left
//    at the end DOS_STAR ("*." is DOS_STAR alone: the names without a dot);
//  - the file system matches the name against that expression: "*" any run,
//    DOS_STAR any run that leaves the name's last dot, DOS_QM one character
//    but a dot (at a dot or the end it matches nothing), DOS_DOT a dot or the
//    end of the name; letters are compared through the system's upcase
//    table, so "x.äö" matches "*.ÄÖ".
// A pattern that names a path (\ / :) matches nothing: no name holds those
// characters. The directory search also matches a name's short 8.3 form
// ("KEEP~1.TMP" for "keep.tmpl"); this match never does.
#include <string>
#include <vector>

namespace dv {

// A name upper-cased for matching, with the place of its last dot.
class TFoldedName {
  public:
    void Assign(const std::wstring& name);
    const std::wstring& Text() const { return text_; }
    size_t LastDot() const { return lastDot_; }

  private:
    std::wstring text_;
    size_t lastDot_ = std::wstring::npos;
};

// A pattern made once into the expression names are matched against. Matches
// works in buffers of its own: one thread at a time.
class TNamePattern {
  public:
    explicit TNamePattern(const std::wstring& pattern);
    bool Matches(const TFoldedName& name) const;

  private:
    bool LiteralsFit(const std::wstring& name) const;
    bool ExpressionMatches(const TFoldedName& name) const;

    std::wstring expression_;
    // The literal text before the first wildcard and after the last one, and
    // the longest between them.
    size_t headLength_ = 0, tailLength_ = 0;
    std::wstring middle_;
    // The states of the expression reached so far, and after the next character.
    mutable std::vector<char> reached_, next_;
};

bool NameMatchesPattern(const std::wstring& pattern, const std::wstring& name);

} // namespace dv
