#include "search/TextPattern.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <QByteArray>

namespace {

// The machine stack the compiled code may use for backtracking; PCRE2's own
// 32 KB is too little for an alternation over a long line.
constexpr size_t LeastJitStack = size_t(32) * 1024;
constexpr size_t MostJitStack = size_t(1024) * 1024;

struct Key
{
    QString text;
    bool literal;
    bool matchCase;
    bool operator==(const Key &other) const
    {
        return text == other.text && literal == other.literal && matchCase == other.matchCase;
    }
};

} // namespace

struct TextPattern::Compiled
{
    pcre2_code *code = nullptr;
    pcre2_match_data *matchData = nullptr;
    pcre2_match_context *context = nullptr;
    pcre2_jit_stack *jitStack = nullptr;

    Compiled() = default;
    Compiled(const Compiled &) = delete;
    Compiled &operator=(const Compiled &) = delete;
    ~Compiled()
    {
        pcre2_jit_stack_free(jitStack);
        pcre2_match_context_free(context);
        pcre2_match_data_free(matchData);
        pcre2_code_free(code);
    }
};

TextPattern::TextPattern(std::unique_ptr<Compiled> compiled) : m_compiled(std::move(compiled))
{}

TextPattern::~TextPattern() = default;

std::shared_ptr<const TextPattern> TextPattern::compiled(const QString &text, bool literal, bool matchCase)
{
    // One pattern at a time is all the find bar needs.
    static std::optional<Key> lastKey;
    static std::shared_ptr<const TextPattern> last;
    const Key key{text, literal, matchCase};
    if (lastKey && *lastKey == key)
        return last;

    const QByteArray utf8 = text.toUtf8();
    // The editor's text is UTF-8; should a byte sequence not be, it matches
    // nothing rather than misleading the matcher.
    uint32_t options = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF;
    if (!matchCase)
        options |= PCRE2_CASELESS;
    options |= literal ? PCRE2_LITERAL : PCRE2_MULTILINE | PCRE2_UCP;
    pcre2_compile_context *context = pcre2_compile_context_create(nullptr);
    pcre2_set_newline(context, PCRE2_NEWLINE_ANYCRLF);
    int error = 0;
    PCRE2_SIZE errorOffset = 0;
    auto compiled = std::make_unique<Compiled>();
    compiled->code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(utf8.constData()), PCRE2_SIZE(utf8.size()),
                                   options, &error, &errorOffset, context);
    pcre2_compile_context_free(context);
    std::shared_ptr<const TextPattern> pattern;
    if (compiled->code) {
        // Without the compiled code PCRE2 still matches, only more slowly.
        pcre2_jit_compile(compiled->code, PCRE2_JIT_COMPLETE);
        compiled->matchData = pcre2_match_data_create_from_pattern(compiled->code, nullptr);
        compiled->context = pcre2_match_context_create(nullptr);
        compiled->jitStack = pcre2_jit_stack_create(LeastJitStack, MostJitStack, nullptr);
        pcre2_jit_stack_assign(compiled->context, nullptr, compiled->jitStack);
        pattern.reset(new TextPattern(std::move(compiled)));
    }
    lastKey = key;
    last = pattern;
    return pattern;
}

std::optional<std::vector<TextPattern::Range>> TextPattern::match(const Subject &subject,
                                                                  qsizetype from) const
{
    uint32_t options = 0;
    if (!subject.atLineStart)
        options |= PCRE2_NOTBOL;
    if (subject.lineGoesOn)
        options |= PCRE2_NOTEOL;
    const int found =
        pcre2_match(m_compiled->code, reinterpret_cast<PCRE2_SPTR>(subject.data), PCRE2_SIZE(subject.size),
                    PCRE2_SIZE(from), options, m_compiled->matchData, m_compiled->context);
    if (found < 0)
        return std::nullopt;
    const PCRE2_SIZE *offsets = pcre2_get_ovector_pointer(m_compiled->matchData);
    const uint32_t pairs = pcre2_get_ovector_count(m_compiled->matchData);
    std::vector<Range> groups(pairs);
    for (uint32_t i = 0; i < pairs; ++i) {
        const PCRE2_SIZE *pair = offsets + size_t(2) * i;
        if (pair[0] != PCRE2_UNSET)
            groups[i] = Range{qsizetype(pair[0]), qsizetype(pair[1])};
    }
    // A lookahead can end a match before it starts (\K); it is taken as empty.
    if (groups[0].end < groups[0].start)
        groups[0].end = groups[0].start;
    return groups;
}
