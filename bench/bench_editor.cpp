// The printer editor on a generated site of 100,000 printers with one alias per two printers,
// opened from a shown printer page: the time from the EditPrinter call to the form's first
// paint, and of a save of one changed field from the click on Save to the form closed. Each
// is the median of --runs opens or saves of printers picked at random; the first open of the
// process is left out. Run under a display (xvfb-run -a).
// Usage: bench_editor [--printers N] [--runs R] [--keep DIR]
#include "ctlfleet.h"
#include "editorbench.h"
#include "frmprinter.h"
#include "qm6connection.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

namespace {

// Calls act once the next printer form has painted for the first time.
class FirstPaint : public QObject {
public:
    std::function<void(frmPrinter *)> act;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && act)
            if (auto *form = qobject_cast<frmPrinter *>(watched)) {
                auto run = std::move(act);
                act = nullptr;
                run(form);
            }
        return QObject::eventFilter(watched, event);
    }
};

struct Stats {
    double median, low, high;
};

Stats stats(std::vector<double> t)
{
    std::sort(t.begin(), t.end());
    return {t[t.size() / 2], t.front(), t.back()};
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    int printers = 100000, runs = 21;
    QString keep;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--printers") && i + 1 < argc)
            printers = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--runs") && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--keep") && i + 1 < argc)
            keep = QString::fromLocal8Bit(argv[++i]);
    }
    QTemporaryDir tmp;
    const QString dir = keep.isEmpty() ? tmp.path() : keep;
    qputenv("QM6_REGISTRY_DIR", tmp.filePath(QStringLiteral("registry")).toUtf8());
    const QString path = QStringLiteral("%1/bench-editor-%2.db").arg(dir).arg(printers);
    const QString url = QStringLiteral("sqlite:") + path;
    if (!makeSite(QStringLiteral(QM6DATA_TOOL), path,
                  {QStringLiteral("generate"), url, QStringLiteral("--printers"), QString::number(printers),
                   QStringLiteral("--aliases-per-printer"), QStringLiteral("0.5")}))
        return 1;
    QM6ConnectionPtr conn;
    if (QM6ErrorPtr e = QM6Connection::Open(url, QStringLiteral("admin"), &conn)) {
        std::fprintf(stderr, "%s\n", qPrintable(e->Description()));
        return 1;
    }
    SetCommonServices(std::make_unique<YesServices>());
    QM6Error::SetDisplayHandler([](const QM6Error &e) { std::fprintf(stderr, "error: %s\n", qPrintable(e.Description())); });

    // The console's page, shown, with the console's font, as the editor meets them.
    auto *page = new ctlFleet();
    page->resize(1200, 800);
    page->SetConnectionAndLicense(conn, nullptr);
    page->SetFont(QM6Font::FromQFont(QApplication::font()));
    page->show();
    QCoreApplication::processEvents();

    FirstPaint firstPaint;
    app.installEventFilter(&firstPaint);
    std::mt19937 rng(10);
    std::uniform_int_distribution<qint32> anyId(1, printers);
    // A printer the editor can save as it is: one with a track profile (an eighth have none).
    auto anyPrinter = [&] {
        for (;;) {
            const qint32 id = anyId(rng);
            QM6Printer p;
            if (!p.Load(conn, id) && p.PrintProfileId() != 0)
                return id;
        }
    };
    // A form that does not close (a refused save) ends the run instead of hanging it.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    watchdog.setInterval(10000);
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        std::fprintf(stderr, "a form stayed open\n");
        std::exit(1);
    });

    // Open: EditPrinter until the form first paints; then it is closed unchanged.
    std::vector<double> opens;
    for (int run = 0; run <= runs; ++run) {
        QElapsedTimer t;
        double ms = -1;
        firstPaint.act = [&](frmPrinter *form) {
            ms = double(t.nsecsElapsed()) / 1e6;
            QTimer::singleShot(0, form, [form] { form->reject(); });
        };
        const qint32 id = anyPrinter();
        watchdog.start();
        t.start();
        frmPrinter::EditPrinter(page, id);
        if (ms < 0) {
            std::fprintf(stderr, "the form never painted\n");
            return 1;
        }
        if (run > 0)   // the first open of the process warms caches and fonts
            opens.push_back(ms);
    }

    // Save: one changed field, from the click on Save until EditPrinter has returned.
    std::vector<double> saves;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer t;
        firstPaint.act = [&](frmPrinter *form) {
            QTimer::singleShot(0, form, [&, form] {
                QLineEdit *model = form->findChild<QLineEdit *>(QStringLiteral("txtModel"));
                model->setText(model->text().left(200) + QStringLiteral(" r%1").arg(run));
                t.start();
                form->findChild<QPushButton *>(QStringLiteral("cmdSave"))->click();
            });
        };
        const qint32 id = anyPrinter();
        watchdog.start();
        if (!frmPrinter::EditPrinter(page, id)) {
            std::fprintf(stderr, "a save did not store the printer\n");
            return 1;
        }
        saves.push_back(double(t.nsecsElapsed()) / 1e6);
    }

    const Stats open = stats(opens), save = stats(saves);
    std::printf("\nprinter editor on %d printers (%s), %d runs each:\n", printers, qPrintable(QGuiApplication::platformName()), runs);
    std::printf("  open, EditPrinter to first paint: median %.1f ms (min %.1f, max %.1f); target 100 ms\n", open.median, open.low, open.high);
    std::printf("  save of one field, click to closed: median %.1f ms (min %.1f, max %.1f); target 30 ms\n", save.median, save.low, save.high);
    page->Release();
    return 0;
}
