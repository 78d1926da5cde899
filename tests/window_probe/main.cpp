// window_probe: a small program for the tests of the program commands. It
// shows one magenta window titled "Tomeric Probe" with a text field (and,
// with --menu, a menu bar) and appends what it receives to the log file
// named by its argument:
//   KEYS:<text>   the field's text when Enter is pressed (the field empties)
//   DROP:<path>   each file dropped on the window
//   MENU:<item>   a menu item was chosen
//   CLOSED        the window was asked to close

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QVBoxLayout>
#include <QWidget>

#include <iostream>

namespace {

QString logPath;

void Log(const QString& line)
{
    QFile file(logPath);
    if (file.open(QIODevice::Append))
        file.write(line.toUtf8() + '\n');
}

// Fichier: Ouvrir..., a separator, Récents (Premier, Second), Quitter;
// Edition: Copier. Captions carry "&", "..." and a tab as real programs' do.
QMenuBar* MakeMenuBar(QWidget* parent)
{
    auto* bar = new QMenuBar(parent);
    const auto item = [](QMenu* menu, const QString& caption, const QString& logged) {
        QObject::connect(menu->addAction(caption), &QAction::triggered, [logged] { Log(QStringLiteral("MENU:") + logged); });
    };
    QMenu* file = bar->addMenu(QStringLiteral("&Fichier"));
    item(file, QStringLiteral("&Ouvrir...\tCtrl+O"), QStringLiteral("Ouvrir"));
    file->addSeparator();
    QMenu* recent = file->addMenu(QStringLiteral("&Récents"));
    item(recent, QStringLiteral("Premier"), QStringLiteral("Premier"));
    item(recent, QStringLiteral("Second"), QStringLiteral("Second"));
    item(file, QStringLiteral("&Quitter"), QStringLiteral("Quitter"));
    item(bar->addMenu(QStringLiteral("&Edition")), QStringLiteral("&Copier"), QStringLiteral("Copier"));
    return bar;
}

class ProbeWindow : public QWidget {
public:
    explicit ProbeWindow(bool withMenu)
    {
        setWindowTitle(QStringLiteral("Tomeric Probe"));
        setAcceptDrops(true);
        setAutoFillBackground(true);
        QPalette colours = palette();
        colours.setColor(QPalette::Window, QColor(255, 0, 255));
        setPalette(colours);
        auto* layout = new QVBoxLayout(this);
        if (withMenu)
            layout->setMenuBar(MakeMenuBar(this));
        field_ = new QLineEdit(this);
        layout->addWidget(field_);
        layout->addStretch();
        connect(field_, &QLineEdit::returnPressed, this, [this] {
            Log(QStringLiteral("KEYS:") + field_->text());
            field_->clear();
        });
        field_->setFocus();
    }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override
    {
        if (event->mimeData()->hasUrls())
            event->acceptProposedAction();
    }
    void dragMoveEvent(QDragMoveEvent* event) override { event->acceptProposedAction(); }
    void dropEvent(QDropEvent* event) override
    {
        for (const QUrl& url : event->mimeData()->urls())
            Log(QStringLiteral("DROP:") + url.toLocalFile());
        event->acceptProposedAction();
    }
    void closeEvent(QCloseEvent* event) override
    {
        Log(QStringLiteral("CLOSED"));
        event->accept();
    }

private:
    QLineEdit* field_;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    const bool withMenu = arguments.removeAll(QStringLiteral("--menu")) > 0;
    if (arguments.size() != 1 || arguments.first() == QLatin1String("--help")) {
        std::cout << "Usage: window_probe [--menu] LOGFILE\n"
                     "Shows a window that logs the keys (on Enter), dropped files, chosen menu\n"
                     "items (with --menu) and close requests it receives to LOGFILE.\n";
        return arguments.size() == 1 ? 0 : 2;
    }
    logPath = arguments.first();
    ProbeWindow window(withMenu);
    window.resize(200, 120);
    window.show();
    return app.exec();
}
