#pragma once
// What the publication text "RUNTIME.PUB" describes, fully typed: the
// publication settings with their defaults, the language texts, the pages
// (page 0 is the master page and always exists) with their backgrounds and
// objects, the main menu and the tray menu.
//
// The reader (publication_reader.h) fills a TPublication; the main window,
// the page list, the object factory and the menus read it without parsing
// text again.

#include "package/command_line.h"
#include "publication/object_model.h"
#include "publication/record_reader.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace tomeric {

// Language texts (L_ keys); the value of each is its index in
// TPublicationSettings::languageTexts (tag − 800).
enum TLanguageText : int {
    ltOk, ltCancel, ltYes, ltNo, ltClose, ltErrorTitle, ltFindTitle, ltFindPrompt,
    ltFindFirst, ltFindNext, ltFindError, ltPwordTitle, ltPwordMsg, ltPwordPrompt,
    ltPwordError, ltMediaError, ltInternetError, ltAbortFunction, ltExtractError,
    ltInstDirPrompt, ltInstFolderPrompt, ltInstRunPrompt, ltInstDiskPrompt, ltInstDiskError,
    ltInstGenError, ltInstExitPrompt, ltInstWinTitle, ltInstProgTitle, ltInstSubTitle,
    ltSendEmail, ltMailServer, ltCopy, ltSelectAll, ltDownloadFile, ltPleaseWait,
};
inline constexpr int kLanguageTextCount = 35;

// The player's own word for a language text (used when the publication's
// text is empty).
QString BuiltinWord(TLanguageText which);

// Reading orders (BIDIMODE=).
enum TBiDiMode : int { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };

// The publication settings. Every field starts at the value the player uses
// when the text does not set it.
struct TPublicationSettings {
    QString title, author;
    int screenWidth = 640, screenHeight = 480;
    int screenColors = 0; // 0: the display's colour count; else 2, 16, 256, 32768, 65536, 16777216
    QString appCursor, hotSpotCursor, dragCursor, busyCursor;
    QString exitPassword, startPassword;
    bool allowEsc = true;
    bool allowPageUpDn = true;
    int windowStyle = 0; // 0..3
    int windowOrder = 0; // 0 normal, 1 on top, 2 at the bottom
    int windowProps = 31;
    int windowPos = 0;   // 0..8
    QString windowRegKey;
    int minPubWidth = 0, minPubHeight = 0;
    bool screenAutoSize = false;
    std::int32_t bkndColor = 0;
    QString shapeFile;
    std::int32_t shapeTransColor = 0x20000000;
    bool autoReturn = false;
    int returnTime = 60; // seconds
    QString returnAction;
    bool mouseExit = false;
    bool showErrors = true;
    bool showMarquee = false;
    bool bypassPrintDlg = false;
    QString startupAction, shutdownAction, activateAction, deactivateAction;
    QString pageChangeAction, subroutineAction;
    bool useUpdateTimer = true;
    QString helpFile;
    bool noCtrlAltDel = false;
    bool noPrintScrn = false;
    QString alertBoxImage, msgBoxImage, exitBoxImage;
    QString customFontName = QStringLiteral("MS Sans Serif");
    int customFontSize = 8;
    int customFontStyle = 1; // bold
    int customCharset = 1;   // default character set
    std::int32_t linkColor = 0x00FF0000; // blue
    int cacheSize = 30;      // at least 1
    int biDiMode = bdLeftToRight;
    int extractOp = 0x84;    // extraction flags byte
    QString extractDir;
    QString pubVersion;
    QString embeddedFiles;   // preview mode only: name=path pairs separated by "¶"

    // Set when any page reads a palette of its own.
    bool hasOwnPalette = false;

    // L_ texts indexed by TLanguageText; empty: the player's built-in word.
    std::array<QString, kLanguageTextCount> languageTexts;
    const QString& LanguageText(TLanguageText which) const { return languageTexts[which]; }
};

enum TBkndStyles : int { pbSolid, pbGradient, pbWallpaper };
enum TGradientAngles : int { G_Horz, G_Vert };
enum TWallPaperStyles : int { wsTile, wsCenter, wsStretched };

// A page's background and page-level settings.
struct TPageBackground {
    std::int32_t color = 0xFFFFFF; // white
    int style = pbSolid;           // TBkndStyles (other byte values are kept as read)
    std::int32_t gradient1 = 0xFF0000;
    std::int32_t gradient2 = 0x0000FF;
    int gradientDir = G_Vert;
    QString wallpaper;
    int wallpaperStyle = wsTile;
    bool showMasterPage = true;
    QString transitionName, transitionOptions; // PAGEEFFECT=, EFFECTSPEED=
    QString enterAction, exitAction;
    std::optional<TPalette> palette; // none: the system default palette
};

struct TPageRecord {
    QString name; // unique among the pages (ignoring case); empty for the master page
    TPageBackground background;
    std::vector<TObjectRecord> objects; // top level, creation order
};

// MENUSTATE= bits.
inline constexpr int kMenuVisible = 1;
inline constexpr int kMenuEnabled = 2;
inline constexpr int kMenuChecked = 4;
inline constexpr int kMenuAutoCheck = 8;

struct TMenuItem {
    QString name;    // component name (MENUNAME=)
    QString caption; // may hold variable references, shown substituted
    QString action;
    int state = kMenuVisible | kMenuEnabled;
    int shortcut = 0; // 16-bit key code with shift bits
    QString varName;  // set to "Checked" or cleared with the check mark
    std::vector<TMenuItem> items; // submenu

    bool IsSeparator() const { return caption == u"-"; }
    bool IsVisible() const { return state & kMenuVisible; }
    bool IsEnabled() const { return state & kMenuEnabled; }
    bool ChecksItself() const { return state & kMenuAutoCheck; }
    bool IsChecked() const { return state & kMenuChecked; }
};

struct TPublication {
    TPublicationSettings settings;
    std::vector<TPageRecord> pages = std::vector<TPageRecord>(1); // [0]: master page
    // MENUBEGIN at top level; tray menu only for system-tray applications.
    std::optional<std::vector<TMenuItem>> mainMenu;
    std::optional<std::vector<TMenuItem>> trayMenu;
    int linkedArticleCount = 0;   // type 24 objects, for the linking step
    QStringList subroutineNames;  // lines of SUBROUTINEACTION beginning with ":"
    // The text holds more pages or objects than the reader keeps (see
    // kMaxPages, kMaxObjects); ReadPublication then fails as lack of memory.
    bool limitReached = false;

    bool HasSubroutine(const QString& name) const {
        return subroutineNames.contains(name, Qt::CaseInsensitive);
    }
    // Index of the first page of that name (ignoring case), −1 when none.
    int FindPage(const QString& name) const;
};

// Values a screen saver imposes whatever the text says: in run mode window
// style 1, stay on top, system keys disabled; in the configuration modes
// window style 0 and window properties 13.
void ApplyScreenSaverForcedValues(TPublicationSettings& settings, TScreenSaverMode mode);

} // namespace tomeric
