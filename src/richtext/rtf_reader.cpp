#include "richtext/rtf_reader.h"

#include "imaging/windows_fonts.h"
#include "richtext/rich_text_properties.h"
#include "richtext/rtf_code_pages.h"
#include "richtext/rtf_reader_impl.h"
#include "platform/quoted_words.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

namespace tomeric {
namespace {

// A field with nothing to show still needs a character to carry its
// properties.
constexpr QChar kEmptyFieldMark(0x200B);

// Splits a field instruction into words; double quotes group words (an
// open quote runs to the end).
QStringList InstructionWords(const QString& instruction)
{
    return platform::SplitQuotedWords(instruction).words;
}

// The arguments after the field's keyword: `location` gets a "\l" target,
// `plain` the arguments that follow no switch.
void FieldArguments(const QStringList& words, QStringList& plain, QString& location)
{
    for (qsizetype i = 1; i < words.size(); ++i) {
        const QString& word = words[i];
        if (word.startsWith(u'\\')) {
            const bool takesArgument = word == u"\\l" || word == u"\\o" || word == u"\\t" ||
                                       word == u"\\b" || word == u"\\f" || word == u"\\@" ||
                                       word == u"\\*" || word == u"\\#";
            if (takesArgument && i + 1 < words.size()) {
                if (word == u"\\l")
                    location = words[i + 1];
                ++i;
            }
            continue;
        }
        plain.append(word);
    }
}

} // namespace

bool LooksLikeRtf(const QByteArray& bytes)
{
    qsizetype pos = 0;
    while (pos < bytes.size() && (bytes[pos] == ' ' || bytes[pos] == '\t' || bytes[pos] == '\r' ||
                                  bytes[pos] == '\n'))
        ++pos;
    return QByteArrayView(bytes).sliced(pos).startsWith("{\\rtf");
}

bool ReadRtf(const QByteArray& rtf, QTextDocument& document, const TRtfReadOptions& options,
             QString* error)
{
    auto fail = [&](const QString& message) {
        if (error)
            *error = message;
        return false;
    };
    document.clear();
    InstallFontSubstitutes();
    QFont font(options.defaultFontFamily);
    font.setPointSizeF(options.defaultFontPointSize > 0 ? options.defaultFontPointSize : 10.0);
    document.setDefaultFont(font);
    if (rtf.size() > options.maxInputBytes)
        return fail(QStringLiteral("RTF text too large (%1 bytes)").arg(rtf.size()));
    if (!LooksLikeRtf(rtf))
        return fail(QStringLiteral("not RTF text"));
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    TRtfReaderImpl reader(document, options);
    const bool complete = reader.Read(rtf);
    if (reader.HasRowHeights())
        FitTableRowHeights(document);
    document.setUndoRedoEnabled(undo);
    if (!complete)
        return fail(QStringLiteral("RTF text ends inside a group"));
    if (error)
        error->clear();
    return true;
}

// ---- the token loop ------------------------------------------------------------

TRtfReaderImpl::TRtfReaderImpl(QTextDocument& document, const TRtfReadOptions& options)
    : document_(document), options_(options), cursor_(&document)
{
    documentCodePage_ = options.defaultCodePage > 0 ? options.defaultCodePage : 1252;
}

bool TRtfReaderImpl::Read(QByteArrayView rtf)
{
    TRtfTokenizer tokenizer(rtf);
    tokenizer_ = &tokenizer;
    // The outermost group is opened by the first "{"; a base entry stands
    // below it so that the stack is never empty while reading.
    groups_.push_back({});
    // One edit block: the document does not lay out text between inserts.
    cursor_.beginEditBlock();
    bool opened = false;
    while (!done_) {
        const TRtfToken token = tokenizer.Next();
        switch (token.kind) {
        case TRtfTokenKind::End: done_ = true; break;
        case TRtfTokenKind::GroupStart:
            opened = true;
            OpenGroup();
            break;
        case TRtfTokenKind::GroupEnd:
            if (!CloseGroup())
                done_ = true;
            break;
        case TRtfTokenKind::ControlWord: ControlWord(token); break;
        case TRtfTokenKind::ControlSymbol: ControlSymbol(token.symbol); break;
        case TRtfTokenKind::HexByte: Bytes(QByteArrayView(&token.symbol, 1)); break;
        case TRtfTokenKind::Text: Bytes(token.word); break;
        case TRtfTokenKind::Binary:
            if (Current().destination == TRtfDestination::Picture)
                picture_.data.append(token.word.data(), token.word.size());
            break;
        }
        if (token.kind != TRtfTokenKind::ControlSymbol && token.kind != TRtfTokenKind::ControlWord)
            ignorableNext_ = false;
    }
    const bool complete = opened && groups_.size() <= 1 && flattenedGroups_ == 0;
    Finish();
    cursor_.endEditBlock();
    tokenizer_ = nullptr;
    return complete;
}

void TRtfReaderImpl::OpenGroup()
{
    skipChars_ = 0;
    if (int(groups_.size()) > options_.maxGroupDepth) {
        ++flattenedGroups_;
        return;
    }
    TRtfGroup group = Current();
    group.startsDestination = false;
    group.ownsField = false;
    group.ownsShape = false;
    groups_.push_back(std::move(group));
    if (InStylesheet() && groups_.size() == stylesheetDepth_ + 1)
        StartStyleEntry(); // a style's own group
}

// False when the outermost group closed: the document ends there.
bool TRtfReaderImpl::CloseGroup()
{
    skipChars_ = 0;
    if (flattenedGroups_ > 0) {
        --flattenedGroups_;
        return true;
    }
    if (groups_.size() <= 1)
        return false;
    const TRtfGroup closing = groups_.back();
    if (groups_.size() == 2)
        finalPara_ = closing.para; // the last paragraph keeps the document's formatting
    if (closing.destination == TRtfDestination::Stylesheet && !closing.startsDestination &&
        groups_.size() == stylesheetDepth_ + 1)
        FinishStyleEntry();
    if (closing.startsDestination)
        EndDestination(closing);
    if (closing.ownsField)
        FinishField();
    groups_.pop_back();
    return groups_.size() > 1;
}

bool TRtfReaderImpl::SkipCurrentGroup()
{
    const bool closed = tokenizer_->SkipGroup();
    if (!closed) {
        done_ = true;
        return false;
    }
    if (flattenedGroups_ > 0) {
        --flattenedGroups_;
    } else if (groups_.size() > 1) {
        if (groups_.back().ownsField)
            FinishField();
        groups_.pop_back();
    }
    if (groups_.size() <= 1)
        done_ = true;
    return true;
}

void TRtfReaderImpl::EndDestination(const TRtfGroup& group)
{
    switch (group.destination) {
    case TRtfDestination::FontTable: FinishFontEntry(); break;
    case TRtfDestination::BookmarkStart: {
        const QString name = bookmarkName_.trimmed();
        if (!name.isEmpty())
            pendingBookmarks_.append(name);
        bookmarkName_.clear();
        break;
    }
    case TRtfDestination::Picture: InsertPicture(); break;
    case TRtfDestination::Stylesheet:
        FinishStyleEntry();
        ResolveStyles();
        break;
    default: break;
    }
}

void TRtfReaderImpl::ControlWord(const TRtfToken& token)
{
    const bool ignorable = ignorableNext_;
    ignorableNext_ = false;
    if (skipChars_ > 0 && token.word != "u") {
        --skipChars_;
        return;
    }
    const WordEntry* entry = FindWord(token.word);
    if (!entry) {
        if (ignorable)
            SkipCurrentGroup(); // an optional destination this reader does not know
        return;
    }
    if (ignorable && !entry->destination) {
        SkipCurrentGroup();
        return;
    }
    if (InStylesheet() && IsFormattingWord(entry->handler))
        KeepStyleWord(*entry, token);
    (this->*(entry->handler))(token, entry->arg);
}

void TRtfReaderImpl::ControlSymbol(char symbol)
{
    if (symbol == '*') {
        ignorableNext_ = true;
        return;
    }
    ignorableNext_ = false;
    if (skipChars_ > 0) {
        --skipChars_;
        return;
    }
    switch (symbol) {
    case '\\':
    case '{':
    case '}': Bytes(QByteArrayView(&symbol, 1)); break;
    case '~': DestinationText(QString(QChar(0x00A0))); break;
    case '-': DestinationText(QString(QChar(0x00AD))); break;
    case '_': DestinationText(QString(QChar(0x2011))); break;
    case '\n': Paragraph({}, 0); break;
    case '\t': DestinationText(QStringLiteral("\t")); break;
    default: break; // \: \| and the like carry nothing to show
    }
}

// ---- text ------------------------------------------------------------------------

void TRtfReaderImpl::Bytes(QByteArrayView bytes)
{
    while (skipChars_ > 0 && !bytes.isEmpty()) {
        bytes = bytes.sliced(1);
        --skipChars_;
    }
    if (bytes.isEmpty())
        return;
    switch (Current().destination) {
    case TRtfDestination::Picture: picture_.AppendHex(bytes); return;
    case TRtfDestination::Text: {
        const int codePage = CurrentCodePage();
        if (!pendingBytes_.isEmpty() && pendingCodePage_ != codePage)
            FlushPendingBytes();
        if (IsSingleByteCodePage(codePage)) {
            VisibleText(DecodeCodePage(bytes, codePage));
        } else {
            pendingCodePage_ = codePage;
            pendingBytes_.append(bytes.data(), bytes.size());
        }
        return;
    }
    default: DestinationText(DecodeCodePage(bytes, CurrentCodePage())); return;
    }
}

void TRtfReaderImpl::FlushPendingBytes()
{
    if (pendingBytes_.isEmpty())
        return;
    const QByteArray bytes = std::exchange(pendingBytes_, {});
    VisibleText(DecodeCodePage(bytes, pendingCodePage_));
}

void TRtfReaderImpl::DestinationText(const QString& text)
{
    switch (Current().destination) {
    case TRtfDestination::Text:
        FlushPendingBytes();
        VisibleText(text);
        break;
    case TRtfDestination::FontTable:
        for (const QChar c : text) {
            if (c == u';')
                FinishFontEntry();
            else
                fontName_.append(c);
        }
        break;
    case TRtfDestination::ColorTable:
        for (const QChar c : text)
            if (c == u';')
                FinishColour();
        break;
    case TRtfDestination::FieldInstruction:
        if (!fields_.empty() && fields_.back().instruction.size() < 4096)
            fields_.back().instruction.append(text);
        break;
    case TRtfDestination::BookmarkStart:
        if (bookmarkName_.size() < 256)
            bookmarkName_.append(text);
        break;
    case TRtfDestination::Stylesheet: StyleName(text); break;
    case TRtfDestination::ShapePropertyName:
        if (shapePropertyName_.size() < 64)
            shapePropertyName_.append(text);
        break;
    case TRtfDestination::Picture:
    case TRtfDestination::Shape: break;
    }
}

// Text of the document: a hot-text link's hidden command, hidden text, or
// visible text.
void TRtfReaderImpl::VisibleText(const QString& text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\t' || c >= u' ')
            shown.append(c);
    }
    if (shown.isEmpty())
        return;
    SyncTable();
    const TRtfCharState& state = Current().chars;
    if (state.hidden) {
        if (linkOpen_) {
            linkCommand_.append(shown);
            linkHasCommand_ = true;
        } else if (options_.keepHiddenText) {
            Emit(shown, state);
        }
        return;
    }
    if (state.hotText) {
        if (linkOpen_ && linkHasCommand_)
            CloseLink();
        if (!linkOpen_)
            OpenLink();
    } else if (linkOpen_) {
        CloseLink();
    }
    Emit(shown, state);
}

void TRtfReaderImpl::Emit(const QString& text, const TRtfCharState& state)
{
    if (!pendingBookmarks_.isEmpty()) {
        FlushRun();
        QTextCharFormat format = CharFormat(state);
        format.setProperty(rtpBookmarks, pendingBookmarks_);
        format.setProperty(rtpBookmarkId, nextLinkId_++);
        format.setAnchor(true);
        format.setAnchorNames(pendingBookmarks_);
        pendingBookmarks_.clear();
        cursor_.insertText(text.left(1), format);
        if (text.size() > 1)
            Emit(text.mid(1), state);
        return;
    }
    if (!runText_.isEmpty() && !(runState_ == state))
        FlushRun();
    runState_ = state;
    runText_.append(text);
}

void TRtfReaderImpl::FlushRun()
{
    if (runText_.isEmpty())
        return;
    cursor_.insertText(runText_, CharFormat(runState_));
    runText_.clear();
}

int TRtfReaderImpl::Position() const
{
    return cursor_.position() + int(runText_.size());
}

int TRtfReaderImpl::CurrentCodePage() const
{
    const int number = groups_.back().chars.font >= 0 ? groups_.back().chars.font : defaultFont_;
    const auto font = fonts_.constFind(number);
    if (font != fonts_.cend() && font->codePage > 0)
        return font->codePage;
    return documentCodePage_;
}

void TRtfReaderImpl::EndParagraph()
{
    SyncTable();
    FlushPendingBytes();
    CloseLink();
    FlushRun();
    cursor_.setBlockFormat(BlockFormat(Current().para));
    cursor_.insertBlock();
}

// A picture goes where the text of its group goes: into the document, or
// for a picture shape (its "pib" property) where the shape is anchored, at
// the shape's size.
void TRtfReaderImpl::InsertPicture()
{
    const TRtfGroup* parent = groups_.size() > 1 ? &groups_[groups_.size() - 2] : nullptr;
    if (!parent || (parent->destination != TRtfDestination::Text &&
                    parent->destination != TRtfDestination::Shape)) {
        picture_ = {};
        return;
    }
    const bool inShape = parent->destination == TRtfDestination::Shape;
    QImage image = DecodeRtfPicture(picture_);
    // Some writers label a PNG or JPEG picture as a metafile (or not at
    // all): what the bytes say they are still shows.
    if (image.isNull() && !picture_.data.isEmpty())
        image = QImage::fromData(picture_.data);
    if (!image.isNull()) {
        SyncTableTo(ParagraphLevel(parent->para));
        FlushPendingBytes();
        CloseLink();
        FlushRun();
        const QString name = QStringLiteral("rtfimage:%1").arg(nextFieldId_++);
        document_.addResource(QTextDocument::ImageResource, QUrl(name), image);
        QSizeF size = RtfPictureDisplaySize(picture_, image);
        const int shapeWidth = shapeExtent_.right() - shapeExtent_.left();
        const int shapeHeight = shapeExtent_.bottom() - shapeExtent_.top();
        if (inShape && shapeWidth > 0 && shapeHeight > 0 && shapeWidth <= 31680 * 4 &&
            shapeHeight <= 31680 * 4)
            size = QSizeF(shapeWidth / 15.0, shapeHeight / 15.0);
        QTextImageFormat format;
        format.setName(name);
        format.setWidth(size.width());
        format.setHeight(size.height());
        cursor_.insertImage(format);
        if (inShape)
            shapeShown_ = true;
    }
    picture_ = {};
}

void TRtfReaderImpl::FinishFontEntry()
{
    if (fontEntry_ >= 0) {
        TRtfFont& font = fonts_[fontEntry_];
        font.name = fontName_.trimmed();
        ReportFontStandIn(font.name);
    }
    fontName_.clear();
    fontEntry_ = -1;
}

void TRtfReaderImpl::FinishColour()
{
    if (red_ < 0 && green_ < 0 && blue_ < 0)
        colours_.append(QColor()); // an empty entry: the automatic colour
    else
        colours_.append(QColor(qBound(0, red_, 255), qBound(0, green_, 255), qBound(0, blue_, 255)));
    red_ = green_ = blue_ = -1;
}

// ---- links, fields, bookmarks ----------------------------------------------------

void TRtfReaderImpl::OpenLink()
{
    FlushPendingBytes();
    linkOpen_ = true;
    linkHasCommand_ = false;
    linkStart_ = Position();
    linkCommand_.clear();
}

void TRtfReaderImpl::CloseLink()
{
    if (!linkOpen_)
        return;
    linkOpen_ = false;
    FlushRun();
    const int end = Position();
    if (end <= linkStart_)
        return;
    const QString command = linkCommand_.trimmed();
    QTextCursor range(&document_);
    range.setPosition(linkStart_);
    range.setPosition(end, QTextCursor::KeepAnchor);
    QTextCharFormat format;
    format.setProperty(rtpLinkCommand, command);
    format.setProperty(rtpLinkKind, int(TRichLinkKind::HotText));
    format.setProperty(rtpLinkId, nextLinkId_++);
    format.setAnchor(true);
    format.setAnchorHref(command);
    range.mergeCharFormat(format);
}

void TRtfReaderImpl::Field(const TRtfToken&, int)
{
    // A field inside another field's instruction only computes that
    // instruction; it shows nothing of its own.
    if (Current().destination != TRtfDestination::Text || fields_.size() >= 64) {
        SkipCurrentGroup();
        return;
    }
    Current().ownsField = true;
    fields_.push_back({});
}

void TRtfReaderImpl::FieldResult(const TRtfToken&, int)
{
    if (fields_.empty())
        return;
    FlushPendingBytes();
    CloseLink();
    FlushRun();
    Current().destination = TRtfDestination::Text;
    SyncTable(); // a field that starts a cell shows its result there
    fields_.back().resultStart = Position();
}

void TRtfReaderImpl::FinishField()
{
    if (fields_.empty())
        return;
    const TRtfField field = fields_.back();
    fields_.pop_back();
    FlushPendingBytes();
    CloseLink();
    FlushRun();
    const QStringList words = InstructionWords(field.instruction);
    const QString keyword = words.isEmpty() ? QString() : words.first().toUpper();
    QStringList arguments;
    QString location;
    FieldArguments(words, arguments, location);

    QTextCharFormat format;
    if (keyword == u"HYPERLINK") {
        const QString url = arguments.value(0);
        QString command = url;
        if (url.isEmpty() && !location.isEmpty())
            command = u':' + location;
        else if (!location.isEmpty())
            command = url + u'#' + location;
        format.setProperty(rtpLinkCommand, command);
        format.setProperty(rtpLinkKind, int(TRichLinkKind::Hyperlink));
        format.setProperty(rtpLinkId, nextLinkId_++);
        format.setAnchor(true);
        format.setAnchorHref(command);
    } else if (!field.instruction.trimmed().isEmpty()) {
        format.setProperty(rtpFieldInstruction, field.instruction.trimmed());
        format.setProperty(rtpFieldId, nextFieldId_++);
        if (keyword == u"MERGEFIELD" && !arguments.isEmpty()) {
            const QString name = arguments.first().toUpper();
            format.setProperty(rtpVariableName, name);
            format.setProperty(rtpFieldSource, u'[' + arguments.first() + u']');
        }
    } else {
        return;
    }
    int start = field.resultStart;
    if (start < 0 || Position() <= start) {
        if (!format.hasProperty(rtpVariableName))
            return; // nothing shown, nothing to mark
        SyncTable();
        start = Position();
        cursor_.insertText(QString(kEmptyFieldMark), CharFormat(Current().chars));
    }
    QTextCursor range(&document_);
    range.setPosition(start);
    range.setPosition(Position(), QTextCursor::KeepAnchor);
    range.mergeCharFormat(format);
}

void TRtfReaderImpl::Finish()
{
    while (!fields_.empty())
        FinishField();
    FlushPendingBytes();
    CloseLink();
    FlushRun();
    tables_.EndTable();
    // A final paragraph mark ends the last paragraph; it opens no empty one.
    // (The paragraph after a table is Qt's own and stays.)
    const QTextBlock last = cursor_.block();
    if (last.length() <= 1 && last.previous().isValid() &&
        document_.characterAt(last.position() - 1) == QChar::ParagraphSeparator)
        cursor_.deletePreviousChar();
    else
        cursor_.setBlockFormat(BlockFormat(groups_.size() > 1 ? groups_.back().para : finalPara_));
    if (!pendingBookmarks_.isEmpty()) {
        QTextBlockFormat block = cursor_.blockFormat();
        block.setProperty(rtpBlockEndBookmarks,
                          block.property(rtpBlockEndBookmarks).toStringList() + pendingBookmarks_);
        cursor_.setBlockFormat(block);
    }
}

} // namespace tomeric
