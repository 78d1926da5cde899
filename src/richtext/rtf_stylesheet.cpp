// The stylesheet of the RTF reader. Each style's formatting words are kept
// as they come (the same control-word table reads them); \sN and \csN in the
// text replay them, after the words of the styles it is based on. Word
// repeats a style's formatting after \plain anyway; hand-written documents
// and other editors may rely on the style alone.

#include "richtext/rtf_reader_impl.h"

namespace tomeric {
namespace {

using R = TRtfReaderImpl;

constexpr int kMaxStyles = 4096;
// Words kept per style, and per style with its bases; a base chain is
// followed this deep (so \sbasedon cycles end).
constexpr std::size_t kMaxStyleWords = 64;
constexpr int kMaxBaseDepth = 16;
constexpr qsizetype kMaxStyleName = 256;

} // namespace

bool TRtfReaderImpl::IsFormattingWord(Handler handler)
{
    static const Handler kFormatting[] = {
        &R::CharToggle, &R::CharNumber, &R::Underline, &R::Vertical,  &R::Plain,
        &R::ParagraphDefaults, &R::Alignment, &R::ParaNumber, &R::TabStop, &R::TabType,
    };
    for (const Handler formatting : kFormatting)
        if (handler == formatting)
            return true;
    return false;
}

void TRtfReaderImpl::Stylesheet(const TRtfToken&, int)
{
    if (!InText()) {
        SkipCurrentGroup();
        return;
    }
    FlushPendingBytes();
    Current().destination = TRtfDestination::Stylesheet;
    Current().startsDestination = true;
    stylesheetDepth_ = groups_.size();
    StartStyleEntry();
}

void TRtfReaderImpl::StartStyleEntry()
{
    styleEntry_ = {};
    styleEntryNumber_ = 0; // an entry without \sN is the Normal style
    styleEntryUsed_ = false;
}

void TRtfReaderImpl::KeepStyleWord(const WordEntry& entry, const TRtfToken& token)
{
    styleEntryUsed_ = true;
    if (styleEntry_.words.size() < kMaxStyleWords)
        styleEntry_.words.push_back(
            {entry.handler, entry.arg, token.hasParameter, token.parameter});
}

void TRtfReaderImpl::StyleName(const QString& text)
{
    for (const QChar c : text) {
        if (c == u';') {
            FinishStyleEntry();
        } else if (styleEntry_.name.size() < kMaxStyleName) {
            styleEntry_.name.append(c);
            styleEntryUsed_ = true;
        }
    }
}

void TRtfReaderImpl::FinishStyleEntry()
{
    if (styleEntryUsed_ && (styles_.size() < kMaxStyles || styles_.contains(styleEntryNumber_))) {
        styleEntry_.name = styleEntry_.name.trimmed();
        styles_.insert(styleEntryNumber_, std::move(styleEntry_));
    }
    StartStyleEntry();
}

// Every style's words with those of its bases first, so that applying a
// style costs one pass over a bounded list.
void TRtfReaderImpl::ResolveStyles()
{
    for (auto it = styles_.begin(); it != styles_.end(); ++it) {
        std::vector<const TRtfStyle*> chain;
        for (const TRtfStyle* style = &it.value(); style && int(chain.size()) < kMaxBaseDepth;) {
            chain.push_back(style);
            const auto base = styles_.constFind(style->basedOn);
            style = style->basedOn >= 0 && base != styles_.cend() ? &base.value() : nullptr;
        }
        std::vector<TRtfStyleWord> words;
        for (auto link = chain.rbegin(); link != chain.rend(); ++link)
            for (const TRtfStyleWord& word : (*link)->words)
                if (words.size() < kMaxStyleWords)
                    words.push_back(word);
        resolvedStyles_.insert(it.key(), std::move(words));
    }
}

void TRtfReaderImpl::StyleNumber(const TRtfToken& token, int character)
{
    const int number = token.hasParameter ? token.parameter : 0;
    if (InStylesheet()) {
        styleEntryNumber_ = number;
        styleEntry_.character = character != 0;
        styleEntryUsed_ = true;
    } else if (InText()) {
        ApplyStyle(number, character != 0);
    }
}

void TRtfReaderImpl::StyleBasedOn(const TRtfToken& token, int)
{
    if (InStylesheet() && token.hasParameter)
        styleEntry_.basedOn = token.parameter;
}

// A paragraph style replaces the paragraph's formatting (the table marks
// stay) and sets the characters it names; a character style only sets the
// characters it names.
void TRtfReaderImpl::ApplyStyle(int number, bool character)
{
    const auto found = resolvedStyles_.constFind(number);
    if (found == resolvedStyles_.cend())
        return; // an unknown style changes nothing
    FlushPendingBytes();
    TRtfGroup replay = Current();
    replay.destination = TRtfDestination::Stylesheet; // the words only change the state
    replay.startsDestination = false;
    replay.ownsField = false;
    if (!character)
        replay.para = {};
    groups_.push_back(std::move(replay));
    TRtfToken token;
    token.kind = TRtfTokenKind::ControlWord;
    for (const TRtfStyleWord& word : found.value()) {
        token.hasParameter = word.hasParameter;
        token.parameter = word.parameter;
        (this->*(word.handler))(token, word.arg);
    }
    const TRtfGroup result = groups_.back();
    groups_.pop_back();
    Current().chars = result.chars;
    if (!character) {
        const bool inTable = Current().para.inTable;
        Current().para = result.para;
        Current().para.inTable = inTable;
    }
}

} // namespace tomeric
