#include "publication/publication_model.h"

namespace tomeric {

int TPublication::FindPage(const QString& name) const {
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (pages[i].name.compare(name, Qt::CaseInsensitive) == 0) return int(i);
    }
    return -1;
}

void ApplyScreenSaverForcedValues(TPublicationSettings& settings, TScreenSaverMode mode) {
    switch (mode) {
    case TScreenSaverMode::ssRun:
        settings.windowStyle = 1;
        settings.windowOrder = 1;
        settings.noCtrlAltDel = true;
        break;
    case TScreenSaverMode::ssConfigureNoParent:
    case TScreenSaverMode::ssConfigure:
        settings.windowStyle = 0;
        settings.windowProps = 13;
        break;
    default:
        break;
    }
}

} // namespace tomeric
