#pragma once

#include <QString>

#include <memory>
#include <optional>
#include <vector>

// What the find bar looks for when bytes alone cannot tell: a regular
// expression (PCRE2's syntax), or literal text whose letters beyond ASCII
// match in either case. PCRE2 compiles it to machine code, which runs over
// UTF-8 text where it lies at close to the speed of a byte scan; a Unicode
// letter matches its other case, and \w, \d and \b know letters beyond
// ASCII. Lines end at CR, LF or CR LF: "." matches neither, "^" and "$"
// match at every line's start and end.
class TextPattern
{
public:
    struct Range
    {
        qsizetype start = -1;
        qsizetype end = -1;
    };

    struct Subject
    {
        const char *data = nullptr;
        qsizetype size = 0;
        // Whether data starts a line, and whether the line goes on past its
        // end: "^" and "$" do not match there then.
        bool atLineStart = true;
        bool lineGoesOn = false;
    };

    ~TextPattern();
    TextPattern(const TextPattern &) = delete;
    TextPattern &operator=(const TextPattern &) = delete;

    // The pattern for text, compiled once and kept while the same one is
    // asked for again (Replace All asks for it at every match); nothing when
    // text is a regular expression that cannot be read.
    static std::shared_ptr<const TextPattern> compiled(const QString &text, bool literal, bool matchCase);

    // The first match that starts at or after from: the whole match, then
    // each group (unset ones as -1). Nothing when there is none, or when the
    // expression gives up on this text (it would take too long).
    std::optional<std::vector<Range>> match(const Subject &subject, qsizetype from) const;

private:
    struct Compiled;
    explicit TextPattern(std::unique_ptr<Compiled> compiled);

    std::unique_ptr<Compiled> m_compiled;
};
