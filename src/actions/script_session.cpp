#include "actions/script_session.h"

#include "actions/action_eval.h"
#include "math/math_expression.h"
#include "package/package.h"
#include "platform/cp1252.h"
#include "publication/publication_reader.h"
#include "vars/builtin_vars.h"
#include "vars/variables.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tomeric {

ScriptSession::ScriptSession(HeadlessServices::LineSink sink)
    : services_(std::make_unique<HeadlessServices>(sink))
{
    SeedRandomFromClock();
    pages_ = std::make_unique<TQXPageList>(services_->All());
    pages_->SetTrace(std::move(sink));
    services_->All().Pages = pages_.get();
    pageHost_ = std::make_unique<TPageListBuiltinHost>(*pages_, DefaultHeadlessHost());
    SetBuiltinHost(pageHost_.get());
}

ScriptSession::~ScriptSession()
{
    SetBuiltinHost(nullptr);
    if (containerOpen_)
        ClosePackage(true);
}

void ScriptSession::UseEmptyPublication()
{
    // [PubDir] is the folder of the publication file: the current folder.
    CurrentPublicationFacts().publicationFile = QDir::current().absoluteFilePath(QStringLiteral("untitled.pub"));
    DefaultHeadlessHost().state.pageTitles = {QString(), QStringLiteral("Page 1")};
    DefaultHeadlessHost().state.pageIndex = 1;
    services_->pageNames = {QStringLiteral("Page 1")};
    TPublication publication;
    publication.pages.emplace_back();
    publication.pages.back().name = QStringLiteral("Page 1");
    UsePublication(publication);
}

void ScriptSession::UsePublication(const TPublication& publication)
{
    pages_->Load(publication);
    pages_->SetStartupDone(true);
}

void ScriptSession::StartPublication()
{
    pages_->SetStartupDone(false);
    pages_->Start();
}

bool ScriptSession::OpenPublicationText(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read the publication text %1").arg(path);
        return false;
    }
    const TPublication publication = ParsePublicationText(file.readAll());
    CurrentPublicationFacts().publicationFile = QFileInfo(path).absoluteFilePath();
    CurrentPublicationFacts().author = publication.settings.author;
    services_->subroutineText = publication.settings.subroutineAction;
    services_->pageNames.clear();
    for (size_t i = 1; i < publication.pages.size(); ++i)
        services_->pageNames.append(publication.pages[i].name);
    DefaultHeadlessHost().state.pubTitle = publication.settings.title;
    SetShowErrors(publication.settings.showErrors);
    UsePublication(publication);
    return true;
}

bool ScriptSession::OpenContainer(const QString& path, QString* error)
{
    if (!QFileInfo(path).isFile()) {
        *error = QStringLiteral("cannot open container %1: no such file").arg(path);
        return false;
    }
    if (OpenPackage(path) != 0) {
        *error = QStringLiteral("cannot open container %1: not a Tomeric package").arg(path);
        return false;
    }
    containerOpen_ = true;
    TPublication publication;
    const TReadResult read = ReadPublication(CurrentPackage(), publication);
    if (!read.ok) {
        *error = QStringLiteral("cannot read the publication in %1: %2").arg(path, read.errorText);
        return false;
    }
    CurrentPublicationFacts().publicationFile = QFileInfo(path).absoluteFilePath();
    CurrentPublicationFacts().author = publication.settings.author;
    CurrentPublicationFacts().previewMode = CurrentPackage().PreviewMode();

    HeadlessServices& s = *services_;
    s.subroutineText = publication.settings.subroutineAction;
    s.previewMode = CurrentPackage().IsPreview();
    s.pageNames.clear();
    QStringList titles{QString()};
    for (size_t i = 1; i < publication.pages.size(); ++i) {
        s.pageNames.append(publication.pages[i].name);
        titles.append(publication.pages[i].name);
    }
    DefaultHeadlessHost().state.pageTitles = titles;
    DefaultHeadlessHost().state.pageIndex = 1;
    DefaultHeadlessHost().state.pubTitle = publication.settings.title;
    SetShowErrors(publication.settings.showErrors);
    UsePublication(publication);
    s.findIncluded = [](const QString& name) -> std::optional<QString> {
        const QString entry = CurrentPackage().FindIncludedName(name);
        if (CurrentPackage().FindEmbedded(entry))
            return entry;
        return std::nullopt;
    };
    s.resolveFile = [](const QString& name) {
        const TResolvedFile resolved = ResolveFile(name);
        return resolved.ok ? resolved.path : name;
    };
    return true;
}

void ScriptSession::Run(const QString& scriptText)
{
    RunActionText(services_->All(), scriptText, QStringLiteral("tomeric-script"), 0, 0);
}

QByteArray ScriptSession::GlobalVariablesText()
{
    QString text;
    GlobalVars().ForEach([&](const QString& key, const QString& value, const TGenericVarInfo*) {
        QString escaped = value;
        escaped.replace(QLatin1String("\r"), QLatin1String("[#13]"));
        escaped.replace(QLatin1String("\n"), QLatin1String("[#10]"));
        text += key + QLatin1Char('=') + escaped + QStringLiteral("\r\n");
    });
    return EncodeWindows1252(text);
}

} // namespace tomeric
