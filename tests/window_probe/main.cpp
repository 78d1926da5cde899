// window_probe: a small program for the tests of the program commands. It
// shows one magenta window titled "Tomeric Probe" with a text field and
// appends what it receives to the log file named by its argument:
//   KEYS:<text>   the field's text when Enter is pressed (the field empties)
//   DROP:<path>   each file dropped on the window
//   CLOSED        the window was asked to close

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
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

class ProbeWindow : public QWidget {
public:
    ProbeWindow()
    {
        setWindowTitle(QStringLiteral("Tomeric Probe"));
        setAcceptDrops(true);
        setAutoFillBackground(true);
        QPalette colours = palette();
        colours.setColor(QPalette::Window, QColor(255, 0, 255));
        setPalette(colours);
        auto* layout = new QVBoxLayout(this);
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
    if (argc != 2 || QByteArray(argv[1]) == "--help") {
        std::cout << "Usage: window_probe LOGFILE\n"
                     "Shows a window that logs the keys (on Enter), dropped files and close\n"
                     "requests it receives to LOGFILE.\n";
        return argc == 2 ? 0 : 2;
    }
    logPath = QString::fromLocal8Bit(argv[1]);
    ProbeWindow window;
    window.resize(200, 120);
    window.show();
    return app.exec();
}
