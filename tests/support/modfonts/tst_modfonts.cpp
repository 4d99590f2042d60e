// Carrying the console font over a form's controls.
#include "modfonts.h"

#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

namespace {

// The page's grid as the font code sees it: typed by name, font through its own properties.
class GridStandIn : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("TypeName", "VSFlexGrid")
    Q_PROPERTY(QString FontName READ FontName WRITE SetFontName)
    Q_PROPERTY(double FontSize READ FontSize WRITE SetFontSize)
public:
    QString FontName() const { return font().family(); }
    void SetFontName(const QString &v) { QFont f = font(); f.setFamily(v); setFont(f); }
    double FontSize() const { return font().pointSizeF(); }
    void SetFontSize(double v) { QFont f = font(); f.setPointSizeF(v); setFont(f); }
};

// A grid-typed object that is no widget at all.
class GridObject : public QObject {
    Q_OBJECT
    Q_CLASSINFO("TypeName", "VSFlexGrid")
    Q_PROPERTY(QString FontName MEMBER m_name)
    Q_PROPERTY(double FontSize MEMBER m_size)
public:
    QString m_name = QStringLiteral("Arial");
    double m_size = 8;
};

class TabsStandIn : public QTabWidget {
    Q_OBJECT
    Q_CLASSINFO("TypeName", "SSActiveTabs")
    Q_PROPERTY(QFont FontSelectedTab MEMBER m_selected)
public:
    QFont m_selected{QStringLiteral("Courier"), 14};
};

class PVOutlookBar : public QWidget {
    Q_OBJECT
};

QFont Face(const QString &family, double size)
{
    QFont f(family);
    f.setPointSizeF(size);
    return f;
}

// A face that cannot show some character set that another installed face can: that face, the
// character set and a capable face; an empty face when this machine has no such pair.
std::tuple<QString, qint16, QString> FindUncovered()
{
    for (int cs : {177, 178, 128, 134, 161, 204, 222}) {
        const QStringList capable = QFontDatabase::families(modFonts::WritingSystemForCharset(qint16(cs)));
        for (const QString &family : QFontDatabase::families(QFontDatabase::Latin)) {
            // The capable face is not the one the platform would pick by itself.
            if (!capable.isEmpty() && !family.contains(QLatin1Char('[')) && !modFonts::FaceSupportsCharset(QFont(family), qint16(cs)))
                return {family, qint16(cs), capable.last().section(QStringLiteral(" ["), 0, 0)};
        }
    }
    return {};
}

} // namespace

class TestModFonts : public QObject {
    Q_OBJECT
    QM6Font m_old{QStringLiteral("MS Sans Serif"), 8.25, 0};   // the font the form was drawn in

    void apply(const QList<QObject *> &controls, const QString &face, double size, int charset)
    {
        modFonts::ApplyFont(m_old, controls, std::make_shared<QM6Font>(face, size, qint16(charset)));
    }

private slots:
    void init() { m_old = QM6Font(QStringLiteral("MS Sans Serif"), 8.25, 0); }

    void controlFollowsNewFont_data()
    {
        QTest::addColumn<bool>("textBox");
        QTest::addColumn<QString>("ownFace");
        QTest::addColumn<double>("ownSize");
        QTest::addColumn<int>("newCharset");
        QTest::addColumn<QString>("expFace");
        QTest::addColumn<double>("expSize");
        // Old font: MS Sans Serif 8.25; new font: Verdana 9, charset given.
        QTest::newRow("label in its own face keeps face and size, takes the charset")
            << false << "Tahoma" << 8.25 << 238 << "Tahoma" << 8.25;
        QTest::newRow("face compared with its letter case") << false << "ms sans serif" << 8.25 << 0 << "ms sans serif" << 8.25;
        QTest::newRow("DEFAULT charset never forces a new face") << false << "Tahoma" << 8.25 << 1 << "Tahoma" << 8.25;
        QTest::newRow("text box in the old face and size takes the new font")
            << true << "MS Sans Serif" << 8.25 << 0 << "Verdana" << 9.0;
        QTest::newRow("text box at 10 pt keeps 10 pt") << true << "MS Sans Serif" << 10.0 << 0 << "Verdana" << 10.0;
        QTest::newRow("label in the old face takes the new font") << false << "MS Sans Serif" << 8.25 << 204 << "Verdana" << 9.0;
        // A face that cannot show the new character set, and a new face that can (found on this machine).
        QTest::newRow("own face lacking the charset, at the old size: new face and size")
            << false << "?" << 8.25 << -1 << "?" << 9.0;
        QTest::newRow("own face lacking the charset, at a size of its own: new face, own size")
            << false << "?" << 12.0 << -1 << "?" << 12.0;
    }

    void controlFollowsNewFont()
    {
        QFETCH(bool, textBox);
        QFETCH(QString, ownFace);
        QFETCH(double, ownSize);
        QFETCH(int, newCharset);
        QFETCH(QString, expFace);
        QFETCH(double, expSize);
        QString newFace = QStringLiteral("Verdana");
        if (newCharset < 0) {
            const auto [face, charset, capable] = FindUncovered();
            if (face.isEmpty())
                QSKIP("no installed face lacks a character set that another face has");
            ownFace = face;
            newFace = expFace = capable;
            newCharset = charset;
        }
        std::unique_ptr<QWidget> control;
        if (textBox)
            control = std::make_unique<QLineEdit>();
        else
            control = std::make_unique<QLabel>(QStringLiteral("x"));
        control->setFont(Face(ownFace, ownSize));
        apply({control.get()}, newFace, 9, newCharset);
        QCOMPARE(control->font().family(), expFace);
        QCOMPARE(control->font().pointSizeF(), expSize);
        QCOMPARE(int(modFonts::ControlCharset(control.get())), newCharset);
    }

    // No new font changes nothing; controls without a font are skipped; the next call starts
    // from the values the last one copied.
    void successiveCallsSkipControlsWithoutFont()
    {
        QLabel follower(QStringLiteral("a")), latecomer(QStringLiteral("b"));
        follower.setFont(Face(QStringLiteral("MS Sans Serif"), 8.25));
        modFonts::ApplyFont(m_old, {&follower}, nullptr);
        QCOMPARE(follower.font().family(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(m_old.Name(), QStringLiteral("MS Sans Serif"));

        QTimer timer;
        QObject plain;
        apply({&timer, nullptr, &plain, &follower}, QStringLiteral("Verdana"), 9, 204);
        QCOMPARE(follower.font().family(), QStringLiteral("Verdana"));
        QVERIFY(!timer.property(modFonts::CHARSET_PROPERTY).isValid());
        QVERIFY(!plain.property(modFonts::CHARSET_PROPERTY).isValid());
        QCOMPARE(m_old.Name(), QStringLiteral("Verdana"));
        QCOMPARE(m_old.Charset(), qint16(204));
        QCOMPARE(m_old.Size(), 9.0);

        // A control added later in the first font now counts as having a face of its own.
        latecomer.setFont(Face(QStringLiteral("MS Sans Serif"), 8.25));
        apply({&follower, &latecomer}, QStringLiteral("Georgia"), 11, 0);
        QCOMPARE(follower.font().family(), QStringLiteral("Georgia"));
        QCOMPARE(follower.font().pointSizeF(), 11.0);
        QCOMPARE(latecomer.font().family(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(latecomer.font().pointSizeF(), 8.25);
    }

    // Grids get FontName and FontSize, even in a face of their own; tabs and the outlook bar the font itself.
    void typedControlsTakeTheNewFontTheirWay()
    {
        GridStandIn grid;
        grid.setFont(Face(QStringLiteral("Arial"), 8));
        GridObject object;   // no widget at all
        QObject untyped;
        untyped.setProperty("FontName", QStringLiteral("Arial"));
        TabsStandIn tabs;
        tabs.setFont(Face(QStringLiteral("Tahoma"), 12));
        PVOutlookBar bar;
        bar.setFont(Face(QStringLiteral("Tahoma"), 12));
        apply({&grid, &object, &untyped, &tabs, &bar}, QStringLiteral("Verdana"), 9.5, 161);

        QCOMPARE(grid.FontName(), QStringLiteral("Verdana"));
        QCOMPARE(grid.FontSize(), 9.5);
        QCOMPARE(modFonts::ControlCharset(&grid), qint16(161));
        QCOMPARE(object.m_name, QStringLiteral("Verdana"));
        QCOMPARE(object.m_size, 9.5);
        QCOMPARE(untyped.property("FontName").toString(), QStringLiteral("Arial"));
        for (QWidget *w : {static_cast<QWidget *>(&tabs), static_cast<QWidget *>(&bar)}) {
            QCOMPARE(w->font().family(), QStringLiteral("Verdana"));
            QCOMPARE(w->font().pointSizeF(), 9.5);
        }
        QCOMPARE(tabs.m_selected.family(), QStringLiteral("Verdana"));
        QCOMPARE(tabs.m_selected.pointSizeF(), 9.5);
    }
};

QTEST_MAIN(TestModFonts)
#include "tst_modfonts.moc"
