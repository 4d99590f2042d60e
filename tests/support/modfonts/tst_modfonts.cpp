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

// A face that cannot show some character set that another installed face can, with that
// character set and a face that can; empty when this machine has no such pair.
struct Uncovered {
    QString face;
    qint16 charset = 0;
    QString capableFace;
};

Uncovered FindUncovered()
{
    const QList<qint16> charsets{177, 178, 128, 134, 161, 204, 222};
    for (qint16 cs : charsets) {
        const QStringList capable = QFontDatabase::families(modFonts::WritingSystemForCharset(cs));
        if (capable.isEmpty())
            continue;
        for (const QString &family : QFontDatabase::families(QFontDatabase::Latin)) {
            if (family.contains(QLatin1Char('[')) || modFonts::FaceSupportsCharset(QFont(family), cs))
                continue;
            QString cap = capable.last(); // not the face the platform would pick by itself
            cap = cap.section(QStringLiteral(" ["), 0, 0);
            return {family, cs, cap};
        }
    }
    return {};
}

} // namespace

class TestModFonts : public QObject {
    Q_OBJECT
private slots:
    void charsetMapsToWritingSystem_data();
    void charsetMapsToWritingSystem();
    void controlFollowsNewFont_data();
    void controlFollowsNewFont();
    void ownFaceThatCannotShowCharsetTakesNewFont_data();
    void ownFaceThatCannotShowCharsetTakesNewFont();
    void controlsWithoutFontAreSkipped();
    void noNewFontChangesNothing();
    void secondCallStartsFromCopiedValues();
    void gridTypedControlsGetFontNameAndSize();
    void tabsAndOutlookBarTakeTheNewFontItself();
};

void TestModFonts::charsetMapsToWritingSystem_data()
{
    QTest::addColumn<int>("charset");
    QTest::addColumn<int>("ws");
    QTest::newRow("ANSI") << 0 << int(QFontDatabase::Latin);
    QTest::newRow("DEFAULT sets no constraint") << 1 << int(QFontDatabase::Any);
    QTest::newRow("Symbol") << 2 << int(QFontDatabase::Symbol);
    QTest::newRow("Japanese") << 128 << int(QFontDatabase::Japanese);
    QTest::newRow("Korean") << 129 << int(QFontDatabase::Korean);
    QTest::newRow("GB2312") << 134 << int(QFontDatabase::SimplifiedChinese);
    QTest::newRow("Big5") << 136 << int(QFontDatabase::TraditionalChinese);
    QTest::newRow("Greek") << 161 << int(QFontDatabase::Greek);
    QTest::newRow("Turkish") << 162 << int(QFontDatabase::Latin);
    QTest::newRow("Hebrew") << 177 << int(QFontDatabase::Hebrew);
    QTest::newRow("Arabic") << 178 << int(QFontDatabase::Arabic);
    QTest::newRow("Baltic") << 186 << int(QFontDatabase::Latin);
    QTest::newRow("Russian") << 204 << int(QFontDatabase::Cyrillic);
    QTest::newRow("Thai") << 222 << int(QFontDatabase::Thai);
    QTest::newRow("East Europe") << 238 << int(QFontDatabase::Latin);
    QTest::newRow("OEM has none") << 255 << int(QFontDatabase::Any);
}

void TestModFonts::charsetMapsToWritingSystem()
{
    QFETCH(int, charset);
    QFETCH(int, ws);
    QCOMPARE(int(modFonts::WritingSystemForCharset(qint16(charset))), ws);
}

void TestModFonts::controlFollowsNewFont_data()
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
    QTest::newRow("own face at another size keeps both") << false << "Tahoma" << 12.0 << 0 << "Tahoma" << 12.0;
    QTest::newRow("face compared with its letter case") << false << "ms sans serif" << 8.25 << 0 << "ms sans serif" << 8.25;
    QTest::newRow("DEFAULT charset never forces a new face") << false << "Tahoma" << 8.25 << 1 << "Tahoma" << 8.25;
    QTest::newRow("text box in the old face and size takes the new font")
        << true << "MS Sans Serif" << 8.25 << 0 << "Verdana" << 9.0;
    QTest::newRow("text box at 10 pt keeps 10 pt") << true << "MS Sans Serif" << 10.0 << 0 << "Verdana" << 10.0;
    QTest::newRow("label in the old face takes the new font") << false << "MS Sans Serif" << 8.25 << 204 << "Verdana" << 9.0;
}

void TestModFonts::controlFollowsNewFont()
{
    QFETCH(bool, textBox);
    QFETCH(QString, ownFace);
    QFETCH(double, ownSize);
    QFETCH(int, newCharset);
    QFETCH(QString, expFace);
    QFETCH(double, expSize);

    std::unique_ptr<QWidget> control;
    if (textBox)
        control = std::make_unique<QLineEdit>();
    else
        control = std::make_unique<QLabel>(QStringLiteral("x"));
    control->setFont(Face(ownFace, ownSize));

    QM6Font oldFont(QStringLiteral("MS Sans Serif"), 8.25, 0);
    auto newFont = std::make_shared<QM6Font>(QStringLiteral("Verdana"), 9, qint16(newCharset));
    modFonts::ApplyFont(oldFont, {control.get()}, newFont);

    QCOMPARE(control->font().family(), expFace);
    QCOMPARE(control->font().pointSizeF(), expSize);
    QCOMPARE(int(modFonts::ControlCharset(control.get())), newCharset);
}

void TestModFonts::ownFaceThatCannotShowCharsetTakesNewFont_data()
{
    QTest::addColumn<double>("ownSize");
    QTest::addColumn<double>("expSize");
    QTest::newRow("at the old size: new face and size") << 8.25 << 11.0;
    QTest::newRow("at a size of its own: new face, own size") << 12.0 << 12.0;
}

void TestModFonts::ownFaceThatCannotShowCharsetTakesNewFont()
{
    QFETCH(double, ownSize);
    QFETCH(double, expSize);
    const Uncovered u = FindUncovered();
    if (u.face.isEmpty())
        QSKIP("no installed face lacks a character set that another face has");

    QLabel label(QStringLiteral("x"));
    label.setFont(Face(u.face, ownSize));
    QM6Font oldFont(QStringLiteral("MS Sans Serif"), 8.25, 0);
    modFonts::ApplyFont(oldFont, {&label}, std::make_shared<QM6Font>(u.capableFace, 11, u.charset));

    QCOMPARE(label.font().family(), u.capableFace);
    QCOMPARE(label.font().pointSizeF(), expSize);
    QCOMPARE(modFonts::ControlCharset(&label), u.charset);
}

void TestModFonts::controlsWithoutFontAreSkipped()
{
    QTimer timer;
    QObject plain;
    QLabel label(QStringLiteral("x"));
    label.setFont(Face(QStringLiteral("MS Sans Serif"), 8.25));
    QM6Font oldFont(QStringLiteral("MS Sans Serif"), 8.25, 0);

    modFonts::ApplyFont(oldFont, {&timer, nullptr, &plain, &label},
                        std::make_shared<QM6Font>(QStringLiteral("Verdana"), 9, qint16(204)));

    QCOMPARE(label.font().family(), QStringLiteral("Verdana"));
    QVERIFY(!timer.property(modFonts::CHARSET_PROPERTY).isValid());
    QVERIFY(!plain.property(modFonts::CHARSET_PROPERTY).isValid());
    QCOMPARE(oldFont.Name(), QStringLiteral("Verdana"));
    QCOMPARE(oldFont.Charset(), qint16(204));
    QCOMPARE(oldFont.Size(), 9.0);
}

void TestModFonts::noNewFontChangesNothing()
{
    QLabel label(QStringLiteral("x"));
    label.setFont(Face(QStringLiteral("MS Sans Serif"), 8.25));
    QM6Font oldFont(QStringLiteral("MS Sans Serif"), 8.25, 0);
    modFonts::ApplyFont(oldFont, {&label}, nullptr);
    QCOMPARE(label.font().family(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(oldFont.Name(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(oldFont.Size(), 8.25);
}

void TestModFonts::secondCallStartsFromCopiedValues()
{
    QLabel follower(QStringLiteral("a"));
    follower.setFont(Face(QStringLiteral("MS Sans Serif"), 8.25));
    QM6Font oldFont(QStringLiteral("MS Sans Serif"), 8.25, 0);
    modFonts::ApplyFont(oldFont, {&follower}, std::make_shared<QM6Font>(QStringLiteral("Verdana"), 9, qint16(0)));

    // A control added later in the first font now counts as having a face of its own.
    QLabel latecomer(QStringLiteral("b"));
    latecomer.setFont(Face(QStringLiteral("MS Sans Serif"), 8.25));
    modFonts::ApplyFont(oldFont, {&follower, &latecomer},
                        std::make_shared<QM6Font>(QStringLiteral("Georgia"), 11, qint16(0)));

    QCOMPARE(follower.font().family(), QStringLiteral("Georgia"));
    QCOMPARE(follower.font().pointSizeF(), 11.0);
    QCOMPARE(latecomer.font().family(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(latecomer.font().pointSizeF(), 8.25);
    QCOMPARE(oldFont.Name(), QStringLiteral("Georgia"));
    QCOMPARE(oldFont.Size(), 11.0);
}

void TestModFonts::gridTypedControlsGetFontNameAndSize()
{
    GridStandIn grid;
    grid.setFont(Face(QStringLiteral("Arial"), 8)); // a face of its own, still set by type
    GridObject object;
    QObject untyped;
    untyped.setProperty("FontName", QStringLiteral("Arial"));

    QM6Font oldFont(QStringLiteral("MS Sans Serif"), 8.25, 0);
    modFonts::ApplyFont(oldFont, {&grid, &object, &untyped},
                        std::make_shared<QM6Font>(QStringLiteral("Verdana"), 9.5, qint16(161)));

    QCOMPARE(modFonts::ControlTypeName(&grid), QStringLiteral("VSFlexGrid"));
    QCOMPARE(grid.FontName(), QStringLiteral("Verdana"));
    QCOMPARE(grid.FontSize(), 9.5);
    QCOMPARE(modFonts::ControlCharset(&grid), qint16(161));
    QCOMPARE(object.m_name, QStringLiteral("Verdana"));
    QCOMPARE(object.m_size, 9.5);
    QCOMPARE(untyped.property("FontName").toString(), QStringLiteral("Arial"));
}

void TestModFonts::tabsAndOutlookBarTakeTheNewFontItself()
{
    TabsStandIn tabs;
    tabs.setFont(Face(QStringLiteral("Tahoma"), 12));
    PVOutlookBar bar;
    bar.setFont(Face(QStringLiteral("Tahoma"), 12));

    QM6Font oldFont(QStringLiteral("MS Sans Serif"), 8.25, 0);
    modFonts::ApplyFont(oldFont, {&tabs, &bar}, std::make_shared<QM6Font>(QStringLiteral("Verdana"), 9, qint16(0)));

    for (QWidget *w : {static_cast<QWidget *>(&tabs), static_cast<QWidget *>(&bar)}) {
        QCOMPARE(w->font().family(), QStringLiteral("Verdana"));
        QCOMPARE(w->font().pointSizeF(), 9.0);
    }
    QCOMPARE(tabs.m_selected.family(), QStringLiteral("Verdana"));
    QCOMPARE(tabs.m_selected.pointSizeF(), 9.0);
}

QTEST_MAIN(TestModFonts)
#include "tst_modfonts.moc"
