#include "windows/find_search.h"

#include "actions/action_text.h"

#include <QRegularExpression>

#include <algorithm>

namespace tomeric {

namespace {

enum TPhase { phObjects = 1, phEnter = 2, phExit = 3, phFiles = 4 };
enum TField { fdText = 1, fdActions = 2, fdDone = 3 };

QRegularExpression WildcardPattern(const QString& text)
{
    QStringList parts = text.split(QLatin1Char('*'));
    for (QString& part : parts)
        part = QRegularExpression::escape(part);
    return QRegularExpression(parts.join(QStringLiteral(".*?")),
                              QRegularExpression::CaseInsensitiveOption |
                                  QRegularExpression::DotMatchesEverythingOption);
}

} // namespace

std::optional<TFindMatch> FindInPlainText(const QString& haystack, const QString& text, int from)
{
    if (text.isEmpty())
        return std::nullopt;
    const QRegularExpression pattern = WildcardPattern(text);
    for (int start = std::max(0, from); start <= haystack.size(); ++start) {
        const QRegularExpressionMatch found = pattern.match(haystack, start);
        if (!found.hasMatch())
            return std::nullopt;
        if (found.capturedLength() == 0) {
            start = int(found.capturedStart());
            continue;
        }
        TFindMatch match;
        match.position = int(found.capturedStart());
        match.length = int(found.capturedLength());
        match.next = match.position + match.length;
        return match;
    }
    return std::nullopt;
}

std::optional<TFindMatch> FindInItems(const QStringList& items, const QString& text, int fromItem)
{
    for (int i = std::max(0, fromItem); i < items.size(); ++i) {
        if (auto match = FindInPlainText(items[i], text, 0)) {
            match->item = i;
            match->next = i + 1;
            return match;
        }
    }
    return std::nullopt;
}

QString TextWindowFile(const QString& line, const TFindPages& pages)
{
    const QString stripped = StripLeading(line);
    if (CommandWord(stripped).compare(QLatin1String("TextWindow"), Qt::CaseInsensitive) != 0)
        return QString();
    ActionParams params;
    if (SplitParameters(stripped, params) != ssOk || params.Count < 6)
        return QString();
    QString file = params[6];
    if (file.contains(QLatin1Char('[')))
        file = pages.Substitute(file);
    return file.trimmed();
}

// ---- the search ---------------------------------------------------------------------

void TFindSearch::Reset()
{
    searching_ = false;
    scopeItems_.clear();
    allPages_ = false;
    lastAllPage_ = 0;
    currentDone_ = false;
    page_ = -1;
    phase_ = phObjects;
    item_ = 0;
    field_ = fdText;
    from_ = 0;
    objects_.clear();
    files_.clear();
    loadedFile_.reset();
}

TFindResult TFindSearch::FindFirst(const QString& text, const QString& scope)
{
    Reset();
    text_ = text;
    scope_ = scope.trimmed();
    if (text_.isEmpty())
        return {};
    if (scope_.compare(QLatin1String("ALL"), Qt::CaseInsensitive) == 0)
        allPages_ = true;
    else if (!scope_.isEmpty() && scope_.compare(QLatin1String("CURRENT"), Qt::CaseInsensitive) != 0)
        scopeItems_ = scope_.split(QLatin1Char('|'));
    searching_ = true;
    return Run();
}

TFindResult TFindSearch::FindNext()
{
    if (!searching_ || text_.isEmpty())
        return {};
    return Run();
}

TFindResult TFindSearch::Run()
{
    TFindResult result;
    while (true) {
        if (page_ < 0 && !NextScopePage(result))
            break;
        if (SearchPage(result))
            return result;
        page_ = -1;
    }
    // The scope is done (or ended by an error): the next Find starts anew.
    const TFindResult ending = result;
    Reset();
    return ending;
}

bool TFindSearch::NextScopePage(TFindResult& result)
{
    int next = -1;
    if (allPages_) {
        next = lastAllPage_ + 1;
        if (next > pages_.LastPage())
            return false;
        lastAllPage_ = next;
    } else if (!scopeItems_.isEmpty()) {
        const QString name = scopeItems_.takeFirst();
        next = pages_.FindPage(name.trimmed());
        if (next < 1) {
            result.kind = TFindResult::fkError;
            result.errorName = name;
            return false;
        }
    } else {
        if (currentDone_)
            return false;
        currentDone_ = true;
        next = pages_.CurrentPage();
    }
    page_ = next;
    phase_ = phObjects;
    item_ = 0;
    field_ = fdText;
    from_ = 0;
    objects_.clear();
    files_.clear();
    loadedFile_.reset();
    return true;
}

bool TFindSearch::SearchPage(TFindResult& result)
{
    if (phase_ == phObjects) {
        if (item_ == 0 && field_ == fdText && from_ == 0 && objects_.empty()) {
            if (page_ != 0 && pages_.ShowsMasterPage(page_))
                objects_ = pages_.Objects(0);
            std::vector<TFindObject> own = pages_.Objects(page_);
            objects_.insert(objects_.end(), own.begin(), own.end());
        }
        if (SearchObjects(result))
            return true;
        phase_ = phEnter;
    }
    if (phase_ == phEnter) {
        ScanScripts({pages_.EnterAction(page_)});
        phase_ = phExit;
    }
    if (phase_ == phExit) {
        ScanScripts({pages_.ExitAction(page_)});
        phase_ = phFiles;
        item_ = 0;
        from_ = 0;
    }
    return SearchFiles(result);
}

bool TFindSearch::SearchObjects(TFindResult& result)
{
    for (; item_ < int(objects_.size()); ++item_, field_ = fdText, from_ = 0) {
        TFindObject& object = objects_[size_t(item_)];
        // A searchable belongs to its widget: once the widget is gone, so is it.
        if (!object.widget)
            object.searchable = nullptr;
        if (field_ == fdText) {
            std::optional<TFindMatch> match;
            if (object.searchable)
                match = object.searchable->FindText(text_, from_);
            else
                match = FindInPlainText(object.caption, text_, from_);
            if (match) {
                from_ = match->next;
                result.kind = TFindResult::fkObject;
                result.page = page_;
                result.object = object;
                result.match = *match;
                return true;
            }
            field_ = fdActions;
        }
        if (field_ == fdActions) {
            if (object.searchable)
                ScanScripts(object.searchable->LinkActions());
            ScanScripts(object.scripts);
            field_ = fdDone;
        }
    }
    return false;
}

bool TFindSearch::SearchFiles(TFindResult& result)
{
    for (; item_ < int(files_.size()); ++item_, from_ = 0, loadedFile_.reset()) {
        const TextFile& file = files_[size_t(item_)];
        TFindSearchable* searchable = pages_.OpenTextWindow(file.file);
        if (!searchable) {
            if (!loadedFile_)
                loadedFile_ = pages_.LoadTextFile(file.file);
            searchable = loadedFile_.get();
        }
        if (!searchable)
            continue;
        if (const auto match = searchable->FindText(text_, from_)) {
            from_ = match->next;
            result.kind = TFindResult::fkTextFile;
            result.page = page_;
            result.file = file.file;
            result.commandLine = file.line;
            result.match = *match;
            return true;
        }
    }
    return false;
}

void TFindSearch::ScanScripts(const QStringList& scripts)
{
    for (const QString& script : scripts) {
        for (const QString& line : SplitActionLines(script)) {
            const QString file = TextWindowFile(line, pages_);
            if (file.isEmpty())
                continue;
            const bool known = std::any_of(files_.begin(), files_.end(), [&](const TextFile& f) {
                return f.file.compare(file, Qt::CaseInsensitive) == 0;
            });
            if (!known)
                files_.push_back({file, StripLeading(line)});
        }
    }
}

} // namespace tomeric
