#include "windows/browser_find.h"

#include "objects/web_browser.h"
#include "windows/find_form.h"
#include "windows/simple_dialogs.h"

#include <QLineEdit>

namespace tomeric {

TBrowserFind::~TBrowserFind()
{
    delete form_.data();
}

void TBrowserFind::Show(TTomericWebBrowser& browser, QWidget* owner)
{
    if (browser_ != &browser && browser_ && browser_->Engine())
        browser_->Engine()->Find(QString(), false, false); // the old page's marks go
    browser_ = &browser;
    if (!form_) {
        form_ = new TFindForm(owner, dialogs_.Look());
        form_->setObjectName(QStringLiteral("BrowserFindForm"));
        QObject::connect(form_, &TFindForm::FindFirstClicked, form_, [this] { Search(true); });
        QObject::connect(form_, &TFindForm::FindNextClicked, form_, [this] { Search(false); });
        QObject::connect(form_, &QDialog::rejected, form_, [this] {
            if (browser_ && browser_->Engine())
                browser_->Engine()->Find(QString(), false, false);
        });
    }
    form_->SetSearching(false);
    form_->show();
    form_->raise();
    form_->activateWindow();
    form_->SearchEdit()->setFocus();
}

void TBrowserFind::Search(bool fromTop)
{
    TBrowserEngine* engine = browser_ ? browser_->Engine() : nullptr;
    const QString text = form_->SearchText();
    if (!engine || text.isEmpty())
        return;
    // The engine goes on from its current match; an ended search starts at
    // the top again.
    if (fromTop)
        engine->Find(QString(), false, false);
    const bool found = engine->Find(text, false, false) > 0;
    form_->SetSearching(found);
    if (!found)
        dialogs_.AlertBox(dialogs_.Look().Word(ltFindTitle), dialogs_.Look().Word(ltFindError));
}

} // namespace tomeric
