// qm6data export and import against a real site, on SQLite and (QM6_TEST_BACKEND=pg)
// PostgreSQL: a dry run over a file of good and bad records reports each by the line it starts
// on and changes nothing; the import then does exactly that, with history; exporting and
// importing a site changes nothing.
#include "qm6history.h"
#include "qm6printer.h"
#include "qm6printerexport.h"
#include "qm6sitegenerator.h"
#include "sitefixture.h"

using namespace SiteFixture;

class tst_ImportExport : public QObject, SiteFixture::Suite {
    Q_OBJECT

    QString file(const QString &name) const { return m_dir.filePath(QStringLiteral("%1-%2").arg(m_caseNo).arg(name)); }
    static QByteArray bytes(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // qm6data's exit code; its output, one line per entry.
    int tool(const QStringList &args, QStringList *lines = nullptr)
    {
        QByteArray out;
        const int code = run(QStringLiteral(QM6DATA_PATH), args, &out);
        if (lines)
            *lines = QString::fromUtf8(out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        return code;
    }
    qint32 add(const QString &name, const QString &location = QString())
    {
        QM6Printer p;
        p.SetName(name);
        p.SetConnectionType(3);
        p.SetPort(QStringLiteral("LPT1:"));
        p.SetLocation(location);
        p.SetDeviceType(1);
        p.SetPrintProfileId(qint32(scalar(c, QStringLiteral("SELECT MIN(profile_id) FROM track_profiles"))));
        if (const QM6ErrorPtr e = p.Save(c))
            qWarning() << e->Description();
        return p.PrinterId();
    }
    QString keyOf(qint32 id)
    {
        QM6Printer p;
        return p.Load(c, id) ? QString() : p.PrinterKey();
    }
    qint64 historyEntries() { return scalar(c, QStringLiteral("SELECT COUNT(*) FROM printer_history")); }

private slots:
    void initTestCase() { QM6_SKIP_WITHOUT_SERVER(); }
    void init()
    {
        nextSite();
        c.reset();
        QVERIFY(tool({QStringLiteral("init"), m_url}) == 0);   // the standard track profiles
        QVERIFY_OK(QM6Connection::Open(m_url, QString(), &c));
    }
    void cleanup() { c.reset(); }

    void dryRunThenImportRecordByRecord()
    {
        const qint32 p1 = add(QStringLiteral("P1")), p2 = add(QStringLiteral("P2")), p3 = add(QStringLiteral("P3"), QStringLiteral("Hall"));
        QVERIFY(tool({QStringLiteral("export"), m_url, file(QStringLiteral("site.csv"))}) == 0);
        const QList<QByteArray> exported = bytes(file(QStringLiteral("site.csv"))).split('\n');
        QCOMPARE(exported.size(), 5);   // header, three printers, the end
        auto record = [&](qint32 id) {
            QByteArray r = exported.value(id == p1 ? 1 : id == p2 ? 2 : 3);
            r.chop(1);   // CR
            return r;
        };
        QByteArray p1Moved = record(p1), p2Renamed = record(p2), p3Broken = record(p3), added = record(p1);
        p1Moved.replace(",,0,0,0,0,", ",\"Lab, \"\"B\"\"\",0,0,0,0,");              // location, quoted
        p2Renamed.replace("P2,", "\"P2\r\nsecond line\",");                          // a name on two lines
        p3Broken.replace(",3,,LPT1:,", ",2,prn,10.0.0.300,");                        // direct IP without a valid address
        added.replace(keyOf(p1).toUtf8() + ",P1,", ",New,");                         // an empty key adds
        QByteArray badQuote = record(p3), notUtf8 = record(p3), shortOne = "P-unknown,x\r\n";
        badQuote.replace("P3,", "\"P3\"x,");
        notUtf8.replace("Hall", "H\xff" "ll");
        QByteArray unknown = record(p3);
        unknown.replace(keyOf(p3).toUtf8(), "P-NOT-HERE");
        const QByteArray csv = exported[0] + "\n" + p1Moved + "\r\n" + added + "\r\n" + unknown + "\r\n" + shortOne + p2Renamed + "\r\n" +
                               badQuote + "\r\n" + notUtf8 + "\r\n" + p3Broken + "\r\n" + record(p1) + "\r\n";
        QFile out(file(QStringLiteral("edited.csv")));
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(csv) == csv.size());
        out.close();

        // What each line is answered with, in the file's order.
        const QStringList expected{
            QStringLiteral("line 2: printer \"P1\" (key %1) would change: location \"\" -> \"Lab, \"B\"\"").arg(keyOf(p1)),
            QStringLiteral("line 3: a new printer would be added: name \"New\""),   // in the import: "... added as number ..."
            QStringLiteral("line 4: refused: the site has no printer with the key \"P-NOT-HERE\""),
            QStringLiteral("line 5: refused: it has 2 fields; the records of a printer list have 24"),
            QStringLiteral("line 6: printer \"P2\" (key %1) would change: name \"P2\" -> \"P2\r\nsecond line\"").arg(keyOf(p2)),
            QStringLiteral("line 8: refused: a quoted field is followed by other text"),
            QStringLiteral("line 9: refused: it is not valid UTF-8 text"),
            QStringLiteral("line 10: refused: port \"10.0.0.300\" is not an IP address"),
            QStringLiteral("line 11: refused: the printer with the key \"%1\" is on line 2 already").arg(keyOf(p1)),
        };
        const qint64 entries = historyEntries();
        for (const bool dryRun : {true, false}) {
            QStringList lines;
            QStringList args{QStringLiteral("import"), m_url, file(QStringLiteral("edited.csv"))};
            if (dryRun)
                args << QStringLiteral("--dry-run");
            QCOMPARE(tool(args, &lines), 1);   // some records were refused
            QString report = lines.join(QLatin1Char('\n'));
            if (!dryRun) {
                report.replace(QLatin1String(" changed: "), QLatin1String(" would change: "));
                report.replace(QRegularExpression(QStringLiteral("printer (\"New\") added as number \\d+ \\(key P-[-0-9A-F]+\\)")),
                               QStringLiteral("a new printer would be added"));
            }
            for (const QString &line : expected)
                QVERIFY2(report.contains(line), qPrintable(line + QLatin1String("\n--- not in ---\n") + report));
            const QRegularExpression summary(QStringLiteral(": 2 printers (would change|changed), 1 (would be added|added), 0 unchanged, "
                                                            "6 records refused"));
            QVERIFY2(summary.match(lines.last()).hasMatch(), qPrintable(lines.last()));
            if (dryRun)
                QCOMPARE(historyEntries(), entries);   // nothing changed
        }
        // The import: one history entry per printer changed or added; refused records changed nothing.
        QCOMPARE(historyEntries(), entries + 3);
        QM6Printer p;
        QVERIFY_OK(p.Load(c, p1));
        QCOMPARE(p.Location(), QStringLiteral("Lab, \"B\""));
        QVERIFY_OK(p.Load(c, p3));
        QCOMPARE(p.ConnectionType(), 3);
        QList<QM6HistoryEntry> history;
        QVERIFY_OK(QM6History::Read(c, p2, QDateTime(), &history));
        QCOMPARE(history.value(0).kind, QM6HistoryEntry::Saved);
        QCOMPARE(history.value(0).changes.value(0).newValue, QStringLiteral("P2\r\nsecond line"));
        QCOMPARE(scalar(c, QStringLiteral("SELECT COUNT(*) FROM printers WHERE name = 'New'")), 1);
        QCOMPARE(tool({QStringLiteral("check"), m_url}), 0);   // modified by/on agree with the history
    }

    void aPrinterThatFailsToStoreTakesNothingOfTheOthers()
    {
        const QList<qint32> ids{add(QStringLiteral("A")), add(QStringLiteral("B")), add(QStringLiteral("C"))};
        // The database refuses the second printer's change half-way, after its own checks passed.
        const bool pg = isPostgres();
        QVERIFY(exec(c, pg ? QStringLiteral("CREATE FUNCTION qm6_refuse() RETURNS trigger AS $$ BEGIN RAISE EXCEPTION 'refused by a"
                                            " trigger'; END $$ LANGUAGE plpgsql")
                           : QStringLiteral("CREATE TRIGGER qm6_refuse BEFORE UPDATE ON printers WHEN NEW.name = 'B2'"
                                            " BEGIN SELECT RAISE(ABORT, 'refused by a trigger'); END")));
        if (pg)
            QVERIFY(exec(c, QStringLiteral("CREATE TRIGGER qm6_refuse BEFORE UPDATE ON printers FOR EACH ROW WHEN (NEW.name = 'B2')"
                                           " EXECUTE FUNCTION qm6_refuse()")));
        const QString path = file(QStringLiteral("site.csv"));
        QVERIFY(tool({QStringLiteral("export"), m_url, path}) == 0);
        QByteArray csv = bytes(path);
        for (const char *name : {"A", "B", "C"})
            csv.replace(QByteArray(",") + name + ",", QByteArray(",") + name + "2,");
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(csv) == csv.size());
        out.close();
        const qint64 entries = historyEntries();
        QStringList lines;
        QCOMPARE(tool({QStringLiteral("import"), m_url, path}, &lines), 1);
        QCOMPARE(lines.size(), 4);
        QVERIFY2(lines[1].startsWith(QLatin1String("line 3: refused: ")) && lines[1].contains(QLatin1String("refused by a trigger")),
                 qPrintable(lines.join(QLatin1Char('\n'))));
        QCOMPARE(historyEntries(), entries + 2);
        QStringList names;
        for (const qint32 id : ids) {
            QM6Printer p;
            QVERIFY_OK(p.Load(c, id));
            names << p.Name();
        }
        QCOMPARE(names, (QStringList{"A2", "B", "C2"}));
    }

    void exportThenImportChangesNothing()
    {
        QM6SiteGenerator::Options o;
        o.printers = 300;
        o.aliasesPerPrinter = 0.5;
        o.demo = true;
        QVERIFY_OK(QM6SiteGenerator::Generate(c.get(), o));
        // Texts a CSV file must carry whole, and spaces the editor would trim but an export keeps.
        const qint32 odd = add(QStringLiteral(" =odd, \"name\"\t\a "), QStringLiteral("line\r\nbreak é 😀 -1"));
        QVERIFY(odd > 0);
        const QString first = file(QStringLiteral("first.csv")), second = file(QStringLiteral("second.csv"));
        QVERIFY(tool({QStringLiteral("export"), m_url, first}) == 0);
        const qint64 entries = historyEntries();
        QStringList lines;
        QCOMPARE(tool({QStringLiteral("import"), m_url, first}, &lines), 0);
        QVERIFY2(lines.size() == 1 && lines[0].contains(QLatin1String(": 0 printers changed, 0 added, 301 unchanged, 0 records refused")),
                 qPrintable(lines.join(QLatin1Char('\n'))));
        QCOMPARE(historyEntries(), entries);
        QVERIFY(tool({QStringLiteral("export"), m_url, second}) == 0);
        QCOMPARE(bytes(second), bytes(first));
        QVERIFY(bytes(first).contains("\" =odd, \"\"name\"\"\t\a \""));   // as stored: no apostrophe, spaces kept
    }
};

QTEST_GUILESS_MAIN(tst_ImportExport)
#include "tst_importexport.moc"
