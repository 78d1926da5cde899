#pragma once
// Inside the RTF reader: the group state stack and the document builder.
// rtf_reader.cpp runs the token loop, groups, destinations and text;
// rtf_control_words.cpp holds the control-word table and the formatting.

#include "richtext/rtf_pictures.h"
#include "richtext/rtf_reader.h"
#include "richtext/rtf_tables.h"
#include "richtext/rtf_tokenizer.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextOption>

#include <vector>

namespace tomeric {

// Where the text of a group goes.
enum class TRtfDestination {
    Text,             // the document
    FontTable,        // font names
    ColorTable,       // ";"-separated colours
    FieldInstruction, // the instruction of the innermost field
    BookmarkStart,    // a bookmark's name
    Picture,          // hex picture data
    Stylesheet,       // style names (their words are kept as they come)
    Shape,            // a drawing shape's properties: text dropped, pictures kept
    ShapePropertyName, // the name of a shape property (\sn)
};

struct TRtfCharState {
    int font = -1;       // font number; -1: the document's default font
    int halfPoints = -1; // -1: the options' size
    bool bold = false;
    bool italic = false;
    bool strike = false;
    int underline = 0;   // QTextCharFormat::UnderlineStyle
    bool hotText = false;
    bool hidden = false;
    bool protect = false;
    int foreground = -1; // colour table index; -1: the default colour
    int background = -1;
    int vertical = 0;    // QTextCharFormat::VerticalAlignment
    bool operator==(const TRtfCharState&) const = default;
};

struct TRtfParaState {
    Qt::Alignment alignment = Qt::AlignLeft;
    int leftIndent = 0; // twips
    int rightIndent = 0;
    int firstIndent = 0;
    int spaceBefore = 0;
    int spaceAfter = 0;
    int lineSpacing = 0;
    bool lineMultiple = false;
    QList<QTextOption::Tab> tabs;
    QTextOption::TabType nextTabType = QTextOption::LeftTab;
    bool inTable = false; // \intbl
    int level = -1;       // \itapN: 0 outside tables, 1 in a table, 2 and up nested; -1: not said
};

struct TRtfGroup {
    TRtfCharState chars;
    TRtfParaState para;
    TRtfDestination destination = TRtfDestination::Text;
    int unicodeSkip = 1;      // \ucN
    bool startsDestination = false; // the destination's own group ends it
    bool ownsField = false;   // the \field group
    bool nestedTableProps = false; // inside {\*\nesttableprops ...}
    bool ownsShape = false;   // the \shp group
};

struct TRtfFont {
    QString name;
    QString familyHint; // from \fswiss, \froman ...
    int codePage = 0;   // 0: the document's
};

class TRtfReaderImpl;

// A formatting word of a style, replayed where the style is applied.
struct TRtfStyleWord {
    void (TRtfReaderImpl::*handler)(const TRtfToken&, int) = nullptr;
    int arg = 0;
    bool hasParameter = false;
    int parameter = 0;
};

struct TRtfStyle {
    QString name;
    bool character = false; // \csN: applied over the text's own formatting
    int basedOn = -1;       // \sbasedonN
    std::vector<TRtfStyleWord> words;
};

struct TRtfField {
    QString instruction;
    int resultStart = -1; // document position where \fldrslt began
};

class TRtfReaderImpl {
public:
    TRtfReaderImpl(QTextDocument& document, const TRtfReadOptions& options);

    // False when the input ended inside a group.
    bool Read(QByteArrayView rtf);
    // Some table row has a height (FitTableRowHeights has work to do).
    bool HasRowHeights() const { return tables_.HasRowHeights(); }

    // ---- control words (rtf_control_words.cpp) ----
    using Handler = void (TRtfReaderImpl::*)(const TRtfToken& token, int arg);
    struct WordEntry {
        Handler handler = nullptr;
        int arg = 0;
        bool destination = false; // known as a destination after "\*"
    };
    static const WordEntry* FindWord(QByteArrayView name);

    void CharToggle(const TRtfToken& token, int which);
    void CharNumber(const TRtfToken& token, int which);
    void Underline(const TRtfToken& token, int style);
    void Vertical(const TRtfToken& token, int alignment);
    void Plain(const TRtfToken& token, int);
    void ParagraphDefaults(const TRtfToken& token, int);
    void Alignment(const TRtfToken& token, int alignment);
    void ParaNumber(const TRtfToken& token, int which);
    void TabStop(const TRtfToken& token, int);
    void TabType(const TRtfToken& token, int type);
    void Special(const TRtfToken& token, int character);
    void Paragraph(const TRtfToken& token, int);
    void DocumentCodePage(const TRtfToken& token, int codePage);
    void DefaultFont(const TRtfToken& token, int);
    void UnicodeSkip(const TRtfToken& token, int);
    void UnicodeChar(const TRtfToken& token, int);
    void FontCharset(const TRtfToken& token, int);
    void FontCodePage(const TRtfToken& token, int);
    void FontFamily(const TRtfToken& token, int hint);
    void ColourComponent(const TRtfToken& token, int channel);
    void PictureKind(const TRtfToken& token, int kind);
    void PictureNumber(const TRtfToken& token, int which);
    void Destination(const TRtfToken& token, int destination);
    void SkipDestination(const TRtfToken& token, int);
    void Ignore(const TRtfToken& token, int) {}
    void TableWord(const TRtfToken& token, int which);
    void BorderWord(const TRtfToken& token, int which);
    void PaddingWord(const TRtfToken& token, int which);
    void InTable(const TRtfToken& token, int which);
    void NestTableProps(const TRtfToken& token, int);
    void Cell(const TRtfToken& token, int nested);
    void Row(const TRtfToken& token, int nested);
    void ShapeWord(const TRtfToken& token, int which);
    void Stylesheet(const TRtfToken& token, int);
    void StyleNumber(const TRtfToken& token, int character);
    void StyleBasedOn(const TRtfToken& token, int);
    void Field(const TRtfToken& token, int);
    void FieldResult(const TRtfToken& token, int);

    QTextCharFormat CharFormat(const TRtfCharState& state) const;
    QTextBlockFormat BlockFormat(const TRtfParaState& state) const;

private:
    TRtfGroup& Current() { return groups_.back(); }
    bool InText() const { return groups_.back().destination == TRtfDestination::Text; }

    // groups and destinations
    void OpenGroup();
    bool CloseGroup();
    void EndDestination(const TRtfGroup& group);
    bool SkipCurrentGroup();
    void ControlWord(const TRtfToken& token);
    void ControlSymbol(char symbol);

    // text
    void Bytes(QByteArrayView bytes);
    void FlushPendingBytes();
    void DestinationText(const QString& text);
    void VisibleText(const QString& text);
    void Emit(const QString& text, const TRtfCharState& state);
    void FlushRun();
    int Position() const;
    int CurrentCodePage() const;
    void EndParagraph();
    void InsertPicture();
    void FinishFontEntry();
    void FinishColour();

    // tables (rtf_control_words.cpp)
    static int ParagraphLevel(const TRtfParaState& para);
    // Moves the cursor where text of the current paragraph (or, when
    // `level` >= 0, of that table level) goes.
    void SyncTable(int level = -1);
    void SyncTableTo(int level);
    void RouteTableWord();

    // stylesheet (rtf_stylesheet.cpp)
    bool InStylesheet() const { return groups_.back().destination == TRtfDestination::Stylesheet; }
    static bool IsFormattingWord(Handler handler);
    void KeepStyleWord(const WordEntry& entry, const TRtfToken& token);
    void StartStyleEntry();
    void StyleName(const QString& text);
    void FinishStyleEntry();
    void ResolveStyles();
    void ApplyStyle(int number, bool character);

    // links, fields, bookmarks
    void OpenLink();
    void CloseLink();
    void FinishField();
    void Finish();

    QTextDocument& document_;
    const TRtfReadOptions& options_;
    QTextCursor cursor_;
    TRtfTokenizer* tokenizer_ = nullptr;
    std::vector<TRtfGroup> groups_;
    int flattenedGroups_ = 0;  // groups beyond the depth bound, read as text
    bool ignorableNext_ = false;
    int skipChars_ = 0;        // fallback characters after \uN still to drop
    bool done_ = false;
    TRtfParaState finalPara_;

    int documentCodePage_ = 1252;
    int defaultFont_ = 0;
    QHash<int, TRtfFont> fonts_;
    int fontEntry_ = -1;
    QString fontName_;
    QList<QColor> colours_;
    int red_ = -1, green_ = -1, blue_ = -1;

    QString runText_;
    TRtfCharState runState_;
    QByteArray pendingBytes_;
    int pendingCodePage_ = 0;

    bool linkOpen_ = false;
    bool linkHasCommand_ = false;
    int linkStart_ = 0;
    QString linkCommand_;
    int nextLinkId_ = 1;

    std::vector<TRtfField> fields_;
    int nextFieldId_ = 1;
    QString bookmarkName_;
    QStringList pendingBookmarks_;
    TRtfPicture picture_;

    TRtfTableBuilder tables_{cursor_};
    bool syncingTable_ = false;

    // drawing shapes (\shp): the property being read, and whether the shape
    // showed a picture or text of its own (then its \shprslt is skipped)
    QString shapePropertyName_;
    bool shapeShown_ = false;
    QRect shapeExtent_; // \shpleft ... \shpbottom, twips (QRect's right and bottom as given)

    QHash<int, TRtfStyle> styles_;
    QHash<int, std::vector<TRtfStyleWord>> resolvedStyles_; // with their bases' words
    TRtfStyle styleEntry_;
    int styleEntryNumber_ = 0;
    bool styleEntryUsed_ = false; // words or name seen since the entry began
    std::size_t stylesheetDepth_ = 0;
};

} // namespace tomeric
