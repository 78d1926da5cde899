#pragma once
// A page list over a small publication, with everything that happens during
// navigation written to one log: the view's calls, the plug-in events, the
// page list's trace lines (RUN ..., PAGE ...), the error box (ERROR ...) and
// what the page scripts do (they log with SystemSound "text", which the
// headless services print as CALL SystemSound "text").

#include "actions/action_eval.h"
#include "actions/headless_services.h"
#include "actions/page_navigation.h"
#include "publication/publication_model.h"
#include "vars/builtin_vars.h"
#include "vars/variables.h"

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

#include <ostream>

// Readable failure messages for the logs.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace tomeric::testing {

using Log = std::vector<QString>;

class RecordingView final : public PageView {
public:
    explicit RecordingView(Log& log) : log_(log) {}
    void BeginPageChange(int from, int to, bool hasTransition) override
    {
        log_.push_back(QStringLiteral("view Begin %1 %2%3").arg(from).arg(to).arg(hasTransition ? " transition" : ""));
    }
    void PageHiding(int index) override { log_.push_back(QStringLiteral("view Hiding %1").arg(index)); }
    void PageEntering(int index) override { log_.push_back(QStringLiteral("view Entering %1").arg(index)); }
    void SwitchPage(int from, int to) override { log_.push_back(QStringLiteral("view Switch %1 %2").arg(from).arg(to)); }
    void PageChanged(int index) override { log_.push_back(QStringLiteral("view Changed %1").arg(index)); }
    void ShowPage(int index, const QString& effect, const QString& options, int direction) override
    {
        log_.push_back(QStringLiteral("view Show %1 \"%2\" \"%3\" %4").arg(index).arg(effect, options).arg(direction));
    }
    void PageShown(int index) override { log_.push_back(QStringLiteral("view Shown %1").arg(index)); }
    void FocusFirst() override { log_.push_back(QStringLiteral("view Focus")); }
    void EndPageChange(int index) override { log_.push_back(QStringLiteral("view End %1").arg(index)); }

private:
    Log& log_;
};

// A slide-show timer the test fires by hand.
class FakeTimer final : public SlideShowTimer {
public:
    void Start(int intervalMs, std::function<void()> tick) override
    {
        interval = intervalMs;
        active = true;
        ++starts;
        tick_ = std::move(tick);
    }
    void Stop() override { active = false; }
    // Fires when running; false when the timer was not running.
    bool Fire()
    {
        if (!active)
            return false;
        active = false;
        auto tick = tick_;
        tick();
        return true;
    }

    int interval = 0;
    bool active = false;
    int starts = 0;

private:
    std::function<void()> tick_;
};

struct PageDef {
    const char* name;
    const char* enter = "";
    const char* exit = "";
    const char* effect = "";
    const char* effectOptions = "";
};

class PageListTest : public ::testing::Test {
protected:
    PageListTest()
        : services_([this](const QString& line) { log.push_back(line); }),
          view_(log),
          list(services_.All(), &view_),
          host_(list, DefaultHeadlessHost())
    {
        services_.All().Pages = &list;
        list.SetTrace([this](const QString& line) { log.push_back(line); });
        list.SetPlugInNotifier([this](int event, int param) {
            log.push_back(QStringLiteral("plugin %1 %2").arg(event).arg(param));
        });
        auto timer = std::make_unique<FakeTimer>();
        timer_ = timer.get();
        list.SetSlideShowTimer(std::move(timer));
    }

    void SetUp() override
    {
        ResetVariableStore();
        SetShowErrors(true);
        AbortAllActions();
        SetBuiltinHost(&host_);
    }
    void TearDown() override { SetBuiltinHost(nullptr); }

    // Loads pages 1..n after the master page; the start page is 1.
    void LoadPages(const std::vector<PageDef>& pages, const QString& pageChangeAction = QString(),
                   const QString& startupAction = QString())
    {
        TPublication publication;
        for (const PageDef& def : pages) {
            TPageRecord page;
            page.name = QString::fromUtf8(def.name);
            page.background.enterAction = QString::fromUtf8(def.enter);
            page.background.exitAction = QString::fromUtf8(def.exit);
            page.background.transitionName = QString::fromUtf8(def.effect);
            page.background.transitionOptions = QString::fromUtf8(def.effectOptions);
            publication.pages.push_back(page);
        }
        publication.settings.pageChangeAction = pageChangeAction;
        publication.settings.startupAction = startupAction;
        list.Load(publication);
    }

    // Pages named P1..Pn without scripts.
    void LoadNumberedPages(int count)
    {
        std::vector<QByteArray> names;
        std::vector<PageDef> defs;
        for (int i = 1; i <= count; ++i)
            names.push_back(QStringLiteral("P%1").arg(i).toUtf8());
        for (const QByteArray& name : names)
            defs.push_back({name.constData()});
        LoadPages(defs);
    }

    // Runs a script as an object's click would.
    void Run(const QString& script, uint8_t flags = 0)
    {
        RunActionText(services_.All(), script, QStringLiteral("Button1"), flags, 1);
    }

    // Starts the publication without logging the first entry.
    void StartQuietly()
    {
        list.Start();
        log.clear();
    }

    void SetSubroutines(const QString& text) { services_.subroutineText = text; }
    void SetSinglePagePreview(bool on) { services_.singlePagePreview = on; }

    // The log lines that start with one of the prefixes.
    Log Only(const QStringList& prefixes) const
    {
        Log kept;
        for (const QString& line : log) {
            for (const QString& prefix : prefixes) {
                if (line.startsWith(prefix)) {
                    kept.push_back(line);
                    break;
                }
            }
        }
        return kept;
    }
    // What the page scripts logged, without the CALL SystemSound wrapping.
    Log ScriptLog() const
    {
        Log kept;
        const QString prefix = QStringLiteral("CALL SystemSound \"");
        for (const QString& line : log) {
            if (line.startsWith(prefix))
                kept.push_back(line.mid(prefix.size()).chopped(1));
        }
        return kept;
    }

    static QString ErrorLine(const QString& word, const QString& message)
    {
        return QStringLiteral("ERROR ") + QuoteForLine(word + QStringLiteral("\r\r") + message);
    }

    Log log;
    HeadlessServices services_;
    RecordingView view_;
    TQXPageList list;
    TPageListBuiltinHost host_;
    FakeTimer* timer_ = nullptr;
};

} // namespace tomeric::testing
