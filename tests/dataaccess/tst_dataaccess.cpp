// The data component's contract, against SQLite and (QM6_TEST_BACKEND=pg) PostgreSQL.
#include "printerdata.h"
#include "qm6connection.h"
#include "qm6connectionprivate.h"
#include "qm6printer.h"

#include <QFile>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

class tst_DataAccess : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void getPrintersGivesConsecutiveRecordsInOrder();
    void getPrintProfilesByName();
    void saveAndLoadKeepEveryProperty_data();
    void saveAndLoadKeepEveryProperty();
    void overLongTextIsRefusedNamingTheField_data();
    void overLongTextIsRefusedNamingTheField();
    void saveStampsUserAndTimeAndNewPrinterGetsIdAndKey();
    void loadingAnUnknownPrinterSaysSo();
    void lostUpdateIsRefusedNamingWhoAndWhen();
    void addAliasMovesAliasesJobsAndTotals();
    void addAliasRefusesSelfAndUnknownKeysAndMovesAliases_data();
    void addAliasRefusesSelfAndUnknownKeysAndMovesAliases();
    void moveAliasCountsMovedJobs();
    void deleteAliasCountsJobsAndIsIgnorableOnRepeat();
    void deleteKeepsJobHistory();
    void rollbackLeavesNothing();
    void failedStatementMakesCommitFail();
    void checkPermission_data();
    void checkPermission();
    void connectionTypeListHasItsRows();
    void displayGoesThroughTheHandler();
    void lostConnectionGivesAnError();
    void lostUpdateIsRefusedAcrossProcesses();
    void writesFromTwoProcessesAreAllKept();
    void toolWritesADemoSiteThatPassesItsCheck();

private:
    qint32 addPrinter(const QString &name, qint32 bw = 0, qint32 color = 0);
    void addJobs(const QString &seenOnKey, qint32 printerId, int n);
    qint64 scalar(const QString &sql);
    QString keyOf(qint32 id);
    QM6RecordsetPtr printers();

    bool m_pg = false;
    QString m_pgUrl;
    QTemporaryDir m_dir;
    int m_caseNo = 0;
    QString m_url;
    QM6ConnectionPtr c;
};

void tst_DataAccess::initTestCase()
{
    m_pg = qEnvironmentVariable("QM6_TEST_BACKEND") == QLatin1String("pg");
    m_pgUrl = qEnvironmentVariable("QM6_TEST_PG_URL");
    if (m_pg && m_pgUrl.isEmpty())
        QSKIP("QM6_TEST_PG_URL is not set: no PostgreSQL server to test against");
    QVERIFY(m_dir.isValid());
}

void tst_DataAccess::init()
{
    if (m_pg) {
        m_url = m_pgUrl;
        // Every case starts from an empty schema.
        QM6ConnectionPtr raw;
        QM6ErrorPtr e = QM6Connection::Open(m_url, QStringLiteral("admin"), &raw);
        QVERIFY2(!e, e ? qPrintable(e->Description()) : "");
        QSqlQuery q(raw->d_func()->db());
        QVERIFY2(q.exec(QStringLiteral("DROP SCHEMA public CASCADE")), qPrintable(q.lastError().text()));
        QVERIFY(q.exec(QStringLiteral("CREATE SCHEMA public")));
    } else {
        m_url = QStringLiteral("sqlite:%1/case%2.db").arg(m_dir.path()).arg(++m_caseNo);
    }
    QM6ErrorPtr e = QM6Connection::Open(m_url, QStringLiteral("admin"), &c);
    QVERIFY2(!e, e ? qPrintable(e->Description()) : "");
}

void tst_DataAccess::cleanup()
{
    QM6Error::SetDisplayHandler({});
    c.reset();
}

qint32 tst_DataAccess::addPrinter(const QString &name, qint32 bw, qint32 color)
{
    QM6Printer p;
    p.SetName(name);
    p.SetConnectionType(3);
    p.SetBWTotal(bw);
    p.SetColorTotal(color);
    QM6ErrorPtr e = p.Save(c);
    if (e)
        qWarning() << e->Description();
    return e ? -1 : p.PrinterId();
}

void tst_DataAccess::addJobs(const QString &seenOnKey, qint32 printerId, int n)
{
    QSqlQuery q(c->d_func()->db());
    q.prepare(QStringLiteral("INSERT INTO print_jobs (seen_on_key, printer_id, pages, color_pages, user_name, printed_on)"
                             " VALUES (:k, :p, 3, 0, 'u', 1)"));
    for (int i = 0; i < n; ++i) {
        q.bindValue(QStringLiteral(":k"), seenOnKey);
        q.bindValue(QStringLiteral(":p"), printerId);
        QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
    }
}

qint64 tst_DataAccess::scalar(const QString &sql)
{
    QSqlQuery q(c->d_func()->db());
    if (!q.exec(sql) || !q.next()) {
        qWarning() << sql << q.lastError().text();
        return -1;
    }
    return q.value(0).toLongLong();
}

QString tst_DataAccess::keyOf(qint32 id)
{
    QM6Printer p;
    return p.Load(c, id) ? QString() : p.PrinterKey();
}

QM6RecordsetPtr tst_DataAccess::printers()
{
    QM6RecordsetPtr rs;
    QM6ErrorPtr e = PrinterData::Instance().GetPrinters(c, &rs, true);
    if (e)
        qWarning() << e->Description();
    return rs;
}

void tst_DataAccess::getPrintersGivesConsecutiveRecordsInOrder()
{
    const qint32 b = addPrinter(QStringLiteral("Beta"));
    const qint32 a1 = addPrinter(QStringLiteral("Alpha"));
    const qint32 a2 = addPrinter(QStringLiteral("Alpha"));
    const qint32 s1 = addPrinter(QStringLiteral("Source one"));
    const qint32 s2 = addPrinter(QStringLiteral("Source two"));
    QM6Printer target;
    QVERIFY(!target.Load(c, a1));
    QStringList aliasKeys;
    for (qint32 s : {s2, s1}) {
        QM6Printer src;
        QVERIFY(!src.Load(c, s));
        aliasKeys << src.PrinterKey();
        QVERIFY(!target.AddAlias(c, src.PrinterKey(), QStringLiteral("dev"), QStringLiteral("host"), QStringLiteral("port"), 2, true));
    }
    aliasKeys.sort();

    QM6RecordsetPtr rs = printers();
    QVERIFY(rs);
    QCOMPARE(rs->FieldNames(), (QStringList{"PrinterId", "PrinterKey", "Name", "Port", "Host", "ProfileName", "ConnectionType",
                                            "AccountNo", "AliasPrinterKey", "AliasDeviceName", "AliasPort", "AliasHost",
                                            "AliasMergeType"}));
    QCOMPARE(rs->RecordCount(), 4);
    QList<qint32> ids;
    QStringList keys;
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
        ids << rs->Fields(QStringLiteral("PrinterId")).toInt();
        keys << rs->Fields(QStringLiteral("AliasPrinterKey")).toString();
        QVERIFY(!rs->Fields(QStringLiteral("ProfileName")).isValid());   // no profile: Null
    }
    QCOMPARE(ids, (QList<qint32>{a1, a1, a2, b}));
    QCOMPARE(keys.mid(0, 2), aliasKeys);
    rs->Move(0);
    QCOMPARE(rs->Fields(QStringLiteral("AliasMergeType")).toInt(), 1);
    QCOMPARE(rs->Fields(QStringLiteral("AliasHost")).toString(), QStringLiteral("host"));
    rs->Move(2);
    const int aliasKey = rs->FieldIndex(QStringLiteral("AliasPrinterKey"));
    QVERIFY(rs->IsNull(aliasKey));
    QVERIFY(!rs->Fields(QStringLiteral("AliasMergeType")).isValid());
    QVERIFY(rs->Fields(QStringLiteral("Port")).isNull());
    rs->MoveFirst();   // the list walks the set again on every filter change
    QCOMPARE(rs->Fields(QStringLiteral("PrinterId")).toInt(), a1);
}

void tst_DataAccess::getPrintProfilesByName()
{
    QSqlQuery q(c->d_func()->db());
    QVERIFY(q.exec(QStringLiteral("INSERT INTO track_profiles (name) VALUES ('Zeta'), ('Alpha'), ('Mid')")));
    QM6RecordsetPtr rs;
    QVERIFY(!PrinterData::Instance().GetPrintProfiles(c, &rs));
    QStringList names;
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext()) {
        QVERIFY(rs->Fields(QStringLiteral("PrintProfileId")).toInt() > 0);
        names << rs->Fields(QStringLiteral("Name")).toString();
    }
    QCOMPARE(names, (QStringList{"Alpha", "Mid", "Zeta"}));
}

void tst_DataAccess::saveAndLoadKeepEveryProperty_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << QStringLiteral("HP LaserJet 4050");
    QTest::newRow("quotes and backslashes") << QStringLiteral("O'Brien \"big\" \\\\srv\\share'; DROP TABLE printers; --");
    QTest::newRow("control characters") << QStringLiteral("a\x07" "b\rc\td\ne");
    QTest::newRow("non-Latin") << QStringLiteral("Принтер 東京 Ελλάδα ✓ 🖨");
    QTest::newRow("outer blanks") << QStringLiteral("  padded  ");
}

void tst_DataAccess::saveAndLoadKeepEveryProperty()
{
    QFETCH(QString, text);
    QSqlQuery q(c->d_func()->db());
    QVERIFY(q.exec(QStringLiteral("INSERT INTO track_profiles (name) VALUES ('Standard')")));
    const qint32 profile = qint32(scalar(QStringLiteral("SELECT MAX(profile_id) FROM track_profiles")));

    QM6Printer p;
    p.SetName(text);
    p.SetDevice(text + QStringLiteral(" dev"));
    p.SetHost(text.left(50));
    p.SetPort(text + QStringLiteral(":9100"));
    p.SetModel(text + QStringLiteral(" model"));
    p.SetLocation(text + QStringLiteral(" loc"));
    p.SetSerialNo(text + QStringLiteral(" sn"));
    p.SetAccountNo(text + QStringLiteral(" acc"));
    p.SetConnectionType(2);
    p.SetDeviceType(4);
    p.SetPrintProfileId(profile);
    p.SetIsColor(true);
    p.SetIsDuplex(true);
    p.SetPopEarly(true);
    p.SetDisableColorMode(true);
    p.SetAutoMerge(true);
    p.AutoMergeRule().SetDeviceMatch(text + QStringLiteral(" d"));
    p.AutoMergeRule().SetHostMatch(text + QStringLiteral(" h"));
    p.AutoMergeRule().SetPortMatch(text + QStringLiteral(" p"));
    p.AutoMergeRule().SetModelMatch(text + QStringLiteral(" m"));
    p.AutoMergeRule().AddConnectionType(1);
    p.AutoMergeRule().AddConnectionType(3);
    p.SetBWTotal(1234);
    p.SetColorTotal(56);
    QM6ErrorPtr e = p.Save(c);
    QVERIFY2(!e, e ? qPrintable(e->Description()) : "");

    QM6Printer r;
    QVERIFY(!r.Load(c, p.PrinterId()));
    QCOMPARE(r.Name(), p.Name());
    QCOMPARE(r.Device(), p.Device());
    QCOMPARE(r.Host(), p.Host());
    QCOMPARE(r.Port(), p.Port());
    QCOMPARE(r.Model(), p.Model());
    QCOMPARE(r.Location(), p.Location());
    QCOMPARE(r.SerialNo(), p.SerialNo());
    QCOMPARE(r.AccountNo(), p.AccountNo());
    QCOMPARE(r.ConnectionType(), 2);
    QCOMPARE(r.DeviceType(), 4);
    QCOMPARE(r.PrintProfileId(), profile);
    QVERIFY(r.IsColor() && r.IsDuplex() && r.PopEarly() && r.DisableColorMode() && r.AutoMerge());
    QCOMPARE(r.AutoMergeRule().DeviceMatch(), p.AutoMergeRule().DeviceMatch());
    QCOMPARE(r.AutoMergeRule().HostMatch(), p.AutoMergeRule().HostMatch());
    QCOMPARE(r.AutoMergeRule().PortMatch(), p.AutoMergeRule().PortMatch());
    QCOMPARE(r.AutoMergeRule().ModelMatch(), p.AutoMergeRule().ModelMatch());
    QVERIFY(r.AutoMergeRule().IncludesConnectionType(1) && r.AutoMergeRule().IncludesConnectionType(3));
    QVERIFY(!r.AutoMergeRule().IncludesConnectionType(2));
    QCOMPARE(r.BWTotal(), 1234);
    QCOMPARE(r.ColorTotal(), 56);
    QCOMPARE(r.PrinterKey(), p.PrinterKey());

    // The list shows the same texts, byte for byte.
    QM6RecordsetPtr rs = printers();
    QCOMPARE(rs->Fields(QStringLiteral("Name")).toString(), text);
    QCOMPARE(rs->Fields(QStringLiteral("ProfileName")).toString(), QStringLiteral("Standard"));
    QCOMPARE(rs->Fields(QStringLiteral("AccountNo")).toString(), p.AccountNo());
}

void tst_DataAccess::overLongTextIsRefusedNamingTheField_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("max");
    QTest::newRow("name") << QStringLiteral("name") << 100;
    QTest::newRow("port") << QStringLiteral("port") << 100;
    QTest::newRow("host") << QStringLiteral("host") << 55;
    QTest::newRow("device") << QStringLiteral("device") << 255;
    QTest::newRow("model") << QStringLiteral("model") << 255;
    QTest::newRow("location") << QStringLiteral("location") << 255;
    QTest::newRow("serial") << QStringLiteral("serial number") << 255;
    QTest::newRow("account") << QStringLiteral("account number") << 255;
}

void tst_DataAccess::overLongTextIsRefusedNamingTheField()
{
    QFETCH(QString, field);
    QFETCH(int, max);
    auto set = [&](QM6Printer &p, const QString &v) {
        if (field == QLatin1String("name")) p.SetName(v);
        else if (field == QLatin1String("port")) p.SetPort(v);
        else if (field == QLatin1String("host")) p.SetHost(v);
        else if (field == QLatin1String("device")) p.SetDevice(v);
        else if (field == QLatin1String("model")) p.SetModel(v);
        else if (field == QLatin1String("location")) p.SetLocation(v);
        else if (field == QLatin1String("serial number")) p.SetSerialNo(v);
        else p.SetAccountNo(v);
    };
    QM6Printer p;
    p.SetName(QStringLiteral("Fits"));
    set(p, QString(max, QChar(u'é')));   // exactly at the limit, in characters, not bytes
    QM6ErrorPtr e = p.Save(c);
    QVERIFY2(!e, e ? qPrintable(e->Description()) : "");
    const qint64 version = scalar(QStringLiteral("SELECT row_version FROM printers WHERE printer_id = %1").arg(p.PrinterId()));

    set(p, QString(max + 1, QChar(u'x')));
    e = p.Save(c);
    QVERIFY(e);
    QCOMPARE(e->Number(), qint32(QM6Error::ErrTooLong));
    QVERIFY2(e->Description().contains(field), qPrintable(e->Description()));
    QVERIFY(e->Description().contains(QString::number(max)));
    QCOMPARE(scalar(QStringLiteral("SELECT row_version FROM printers WHERE printer_id = %1").arg(p.PrinterId())), version);
}

void tst_DataAccess::saveStampsUserAndTimeAndNewPrinterGetsIdAndKey()
{
    QM6Printer p;
    QCOMPARE(p.PrinterId(), -1);
    QVERIFY(!p.ModifiedOn().isValid());
    p.SetName(QStringLiteral("New"));
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    QVERIFY(!p.Save(c));
    QVERIFY(p.PrinterId() > 0);
    QVERIFY(!p.PrinterKey().isEmpty());
    QM6Printer q2;
    q2.SetName(QStringLiteral("Other"));
    QVERIFY(!q2.Save(c));
    QVERIFY(q2.PrinterId() != p.PrinterId());
    QVERIFY(q2.PrinterKey() != p.PrinterKey());

    QM6ConnectionPtr other;
    QVERIFY(!QM6Connection::Open(m_url, QStringLiteral("carol"), &other));
    QM6Printer r;
    QVERIFY(!r.Load(other, p.PrinterId()));
    QCOMPARE(r.ModifiedBy(), QStringLiteral("admin"));
    r.SetModel(QStringLiteral("changed"));
    QVERIFY(!r.Save(other));
    QM6Printer again;
    QVERIFY(!again.Load(c, p.PrinterId()));
    QCOMPARE(again.ModifiedBy(), QStringLiteral("carol"));
    QVERIFY(again.ModifiedOn() >= before && again.ModifiedOn() <= QDateTime::currentDateTime().addSecs(1));
}

void tst_DataAccess::loadingAnUnknownPrinterSaysSo()
{
    QM6Printer p;
    QM6ErrorPtr e = p.Load(c, 12345);
    QVERIFY(e);
    QCOMPARE(e->Description(), QStringLiteral("Printer 12345 does not exist."));
}

void tst_DataAccess::lostUpdateIsRefusedNamingWhoAndWhen()
{
    const qint32 id = addPrinter(QStringLiteral("Shared"));
    QM6ConnectionPtr other;
    QVERIFY(!QM6Connection::Open(m_url, QStringLiteral("carol"), &other));
    QM6Printer mine, theirs;
    QVERIFY(!mine.Load(c, id));
    QVERIFY(!theirs.Load(other, id));
    theirs.SetLocation(QStringLiteral("Their location"));
    QVERIFY(!theirs.Save(other));

    mine.SetLocation(QStringLiteral("My location"));
    QM6ErrorPtr e = mine.Save(c);
    QVERIFY(e);
    QCOMPARE(e->Number(), qint32(QM6Error::ErrConflict));
    QVERIFY2(e->Description().contains(QStringLiteral("carol")), qPrintable(e->Description()));
    QVERIFY2(e->Description().contains(QString::number(QDate::currentDate().year())), qPrintable(e->Description()));
    QM6Printer stored;
    QVERIFY(!stored.Load(c, id));
    QCOMPARE(stored.Location(), QStringLiteral("Their location"));
    // Totals go through the same check.
    QVERIFY(mine.SaveTotals(c, 5, 5));
}

void tst_DataAccess::addAliasMovesAliasesJobsAndTotals()
{
    const qint32 t = addPrinter(QStringLiteral("Target"), 100, 10);
    const qint32 s = addPrinter(QStringLiteral("Source"), 50, 5);
    const qint32 sa = addPrinter(QStringLiteral("Source's alias"), 7, 0);
    const QString sKey = keyOf(s), saKey = keyOf(sa);
    QM6Printer source;
    QVERIFY(!source.Load(c, s));
    QVERIFY(!source.AddAlias(c, saKey, QStringLiteral("d"), QStringLiteral("h"), QStringLiteral("p"), 1, true));
    QSqlQuery q(c->d_func()->db());
    QVERIFY(q.exec(QStringLiteral("UPDATE merged_printers SET merge_type = 2 WHERE alias_key = '%1'").arg(saKey)));
    addJobs(sKey, s, 3);
    addJobs(saKey, s, 2);

    QM6Printer target;
    QVERIFY(!target.Load(c, t));
    QM6ErrorPtr e = target.AddAlias(c, sKey, QStringLiteral("Source device"), QStringLiteral("srv"), QStringLiteral("\\\\srv\\q"), 1, true);
    QVERIFY2(!e, e ? qPrintable(e->Description()) : "");

    QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM print_jobs WHERE printer_id = %1").arg(t)), 5);
    QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM print_jobs")), 5);
    QCOMPARE(scalar(QStringLiteral("SELECT merge_type FROM merged_printers WHERE alias_key = '%1'").arg(sKey)), 1);
    QCOMPARE(scalar(QStringLiteral("SELECT merge_type FROM merged_printers WHERE alias_key = '%1'").arg(saKey)), 2);
    QM6Printer stored;
    QVERIFY(!stored.Load(c, t));
    QCOMPARE(stored.BWTotal(), 100 + 50 + 7);
    QCOMPARE(stored.ColorTotal(), 15);
    QVERIFY(stored.Load(c, s));   // the source left the list

    QM6RecordsetPtr rs = printers();
    QCOMPARE(rs->RecordCount(), 2);
    for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext())
        QCOMPARE(rs->Fields(QStringLiteral("PrinterId")).toInt(), t);
    // The target object saw its own change: a later save is no conflict.
    target.SetModel(QStringLiteral("after merge"));
    e = target.Save(c);
    QVERIFY2(!e, e ? qPrintable(e->Description()) : "");
}

void tst_DataAccess::addAliasRefusesSelfAndUnknownKeysAndMovesAliases_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<bool>("ok");
    QTest::newRow("itself") << QStringLiteral("self") << false;
    QTest::newRow("unknown key") << QStringLiteral("unknown") << false;
    QTest::newRow("an alias of another printer") << QStringLiteral("alias") << true;
}

void tst_DataAccess::addAliasRefusesSelfAndUnknownKeysAndMovesAliases()
{
    QFETCH(QString, which);
    QFETCH(bool, ok);
    const qint32 t = addPrinter(QStringLiteral("T"));
    const qint32 o = addPrinter(QStringLiteral("O"));
    const qint32 a = addPrinter(QStringLiteral("A"));
    const QString aKey = keyOf(a);
    QM6Printer owner;
    QVERIFY(!owner.Load(c, o));
    QVERIFY(!owner.AddAlias(c, aKey, QStringLiteral("d"), QString(), QString(), 3, true));
    const QString key = which == QLatin1String("self") ? keyOf(t) : which == QLatin1String("alias") ? aKey : QStringLiteral("NO-SUCH");
    QM6Printer target;
    QVERIFY(!target.Load(c, t));
    QM6ErrorPtr e = target.AddAlias(c, key, QStringLiteral("d"), QString(), QString(), 3, true);
    QCOMPARE(!e, ok);
    if (e)
        QVERIFY2(e->Description().contains(key) || e->Description().contains(QStringLiteral("itself")), qPrintable(e->Description()));
    QCOMPARE(scalar(QStringLiteral("SELECT owner_id FROM merged_printers WHERE alias_key = '%1'").arg(aKey)), ok ? t : o);
    QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM printers WHERE deleted = 0")), 2);
}

void tst_DataAccess::moveAliasCountsMovedJobs()
{
    const qint32 o = addPrinter(QStringLiteral("Owner"));
    const qint32 t = addPrinter(QStringLiteral("New owner"));
    const qint32 a = addPrinter(QStringLiteral("Alias"));
    const QString aKey = keyOf(a);
    addJobs(aKey, a, 4);
    addJobs(keyOf(o), o, 2);
    QM6Printer owner;
    QVERIFY(!owner.Load(c, o));
    QVERIFY(!owner.AddAlias(c, aKey, QStringLiteral("d"), QString(), QString(), 3, true));
    QSqlQuery q(c->d_func()->db());
    QVERIFY(q.exec(QStringLiteral("UPDATE merged_printers SET merge_type = 2")));

    qint32 count = -1;
    QM6ErrorPtr e = owner.MoveAlias(c, aKey, t, count);
    QVERIFY2(!e, e ? qPrintable(e->Description()) : "");
    QCOMPARE(count, 4);
    QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM print_jobs WHERE printer_id = %1").arg(t)), 4);
    QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM print_jobs WHERE printer_id = %1").arg(o)), 2);
    QCOMPARE(scalar(QStringLiteral("SELECT merge_type FROM merged_printers WHERE alias_key = '%1'").arg(aKey)), 1);
    QVERIFY(owner.MoveAlias(c, QStringLiteral("NO-SUCH"), t, count));
    QVERIFY(owner.MoveAlias(c, aKey, 999999, count));
}

void tst_DataAccess::deleteAliasCountsJobsAndIsIgnorableOnRepeat()
{
    const qint32 o = addPrinter(QStringLiteral("Owner"));
    const qint32 a = addPrinter(QStringLiteral("Alias"));
    const QString aKey = keyOf(a);
    addJobs(aKey, a, 3);
    QM6Printer owner;
    QVERIFY(!owner.Load(c, o));
    QVERIFY(!owner.AddAlias(c, aKey, QStringLiteral("d"), QString(), QString(), 3, true));

    QM6Printer byId;
    byId.SetPrinterId(o);
    qint32 count = -1;
    QVERIFY(!byId.DeleteAlias(c, aKey, count));
    QCOMPARE(count, 3);
    QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM merged_printers")), 0);
    QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM print_jobs WHERE printer_id = %1").arg(o)), 3);
    QM6ErrorPtr e = byId.DeleteAlias(c, aKey, count);
    QVERIFY(e);
    QCOMPARE(e->Severity(), qint32(QM6Error::SeverityIgnorable));
    QCOMPARE(count, 0);
}

void tst_DataAccess::deleteKeepsJobHistory()
{
    const qint32 p = addPrinter(QStringLiteral("Doomed"));
    const qint32 a = addPrinter(QStringLiteral("Its alias"));
    const QString aKey = keyOf(a);
    addJobs(keyOf(p), p, 2);
    addJobs(aKey, a, 1);
    QM6Printer owner;
    QVERIFY(!owner.Load(c, p));
    QVERIFY(!owner.AddAlias(c, aKey, QStringLiteral("d"), QString(), QString(), 3, true));
    addPrinter(QStringLiteral("Survivor"));

    QM6Printer byId;
    byId.SetPrinterId(p);
    QVERIFY(!byId.Delete(c));
    QM6RecordsetPtr rs = printers();
    QCOMPARE(rs->RecordCount(), 1);
    QCOMPARE(rs->Fields(QStringLiteral("Name")).toString(), QStringLiteral("Survivor"));
    QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM print_jobs WHERE printer_id = %1").arg(p)), 3);
    QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM merged_printers")), 0);
    QVERIFY(owner.Load(c, p));
    QVERIFY(byId.Delete(c));   // twice: it is gone
}

void tst_DataAccess::rollbackLeavesNothing()
{
    QVERIFY(!c->BeginTransaction());
    QVERIFY(c->InTransaction());
    QM6Printer p;
    p.SetName(QStringLiteral("Never"));
    QVERIFY(!p.Save(c));
    QVERIFY(!p.SaveTotals(c, 10, 2));
    QVERIFY(!c->RollbackTransaction());
    QVERIFY(!c->InTransaction());
    QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM printers")), 0);
    QVERIFY(c->CommitTransaction());   // nothing open
}

void tst_DataAccess::failedStatementMakesCommitFail()
{
    QVERIFY(!c->BeginTransaction());
    QM6Printer p;
    p.SetName(QStringLiteral("Half"));
    QVERIFY(!p.Save(c));
    QVERIFY(c->d_func()->ExecSql(QStringLiteral("INSERT INTO no_such_table VALUES (1)"), QStringLiteral("A broken step")));
    QM6ErrorPtr e = c->CommitTransaction();
    QVERIFY(e);
    QVERIFY(!c->InTransaction());
    QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM printers")), 0);
}

void tst_DataAccess::checkPermission_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<bool>("granted");
    QTest::addColumn<QString>("says");
    QTest::newRow("admin") << QStringLiteral("admin") << true << QString();
    QTest::newRow("auditor") << QStringLiteral("auditor") << false << QStringLiteral("129");
    QTest::newRow("unknown") << QStringLiteral("mallory") << false << QStringLiteral("not known");
}

void tst_DataAccess::checkPermission()
{
    QFETCH(QString, user);
    QFETCH(bool, granted);
    QFETCH(QString, says);
    QSqlQuery q(c->d_func()->db());
    QVERIFY(q.exec(QStringLiteral("INSERT INTO users (user_name) VALUES ('auditor')")));
    QVERIFY(q.exec(QStringLiteral("INSERT INTO user_permissions (user_id, code) SELECT user_id, 128 FROM users WHERE user_name = 'auditor'")));
    QM6ConnectionPtr as;
    QVERIFY(!QM6Connection::Open(m_url, user, &as));
    QM6ErrorPtr e = as->CheckPermission(129);
    QCOMPARE(!e, granted);
    if (e) {
        QVERIFY2(e->Description().contains(says) && e->Description().contains(user), qPrintable(e->Description()));
        QCOMPARE(e->Number(), qint32(QM6Error::ErrPermission));
    }
    QVERIFY(!as->CheckPermission(128) || user == QLatin1String("mallory"));
}

void tst_DataAccess::connectionTypeListHasItsRows()
{
    const QVariant v = LookupLists::Instance().GetList(6);
    const QVariantList rows = v.toList();
    QCOMPARE(rows.size(), 4);
    const QStringList texts{QString(), "Network share", "Direct IP", "Local"};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(rows[i].toList().value(0).toInt(), i);
        QCOMPARE(rows[i].toList().value(1).toString(), texts[i]);
    }
    QVERIFY(LookupLists::Instance().GetList(5).toList().size() > 1);
    QVERIFY(!LookupLists::Instance().GetList(99).isValid());
    c.reset();   // the list follows the connection; with none there is none
    QVERIFY(!LookupLists::Instance().GetList(6).isValid());
}

void tst_DataAccess::displayGoesThroughTheHandler()
{
    QStringList shown;
    QM6Error::SetDisplayHandler([&](const QM6Error &e) { shown << e.Description(); });
    QM6Printer p;
    QM6ErrorPtr e = p.Load(c, 777);
    QVERIFY(e);
    e->Display();
    QCOMPARE(shown, QStringList{QStringLiteral("Printer 777 does not exist.")});
}

void tst_DataAccess::lostConnectionGivesAnError()
{
    const qint32 id = addPrinter(QStringLiteral("Here"));
    QM6Printer half;
    half.SetName(QStringLiteral("Half written"));
    if (m_pg) {
        QVERIFY(!c->BeginTransaction());
        QVERIFY(!half.Save(c));
        QM6ConnectionPtr killer;
        QVERIFY(!QM6Connection::Open(m_url, QStringLiteral("admin"), &killer));
        QSqlQuery q(killer->d_func()->db());
        QVERIFY(q.exec(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE pid <> pg_backend_pid() "
                                      "AND datname = current_database()")));
    } else {
        const QString path = m_url.mid(7);
        for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
            QFile::remove(path + suffix);
    }
    QM6RecordsetPtr rs;
    QM6ErrorPtr e = PrinterData::Instance().GetPrinters(c, &rs, true);
    QVERIFY(e);
    QVERIFY(!rs);
    QVERIFY(!e->Description().isEmpty());
    QM6Printer p;
    if (m_pg) {
        QVERIFY(p.Load(c, id));   // not inside the broken transaction
        QVERIFY(c->CommitTransaction());
        QVERIFY(!c->InTransaction());
        // The server is still there: opening again reconnects, and the half change is not stored.
        e = c->OpenConnection(true);
        QVERIFY2(!e, e ? qPrintable(e->Description()) : "");
        QVERIFY(!p.Load(c, id));
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM printers")), 1);
    } else {
        QVERIFY(p.Load(c, id));
        QVERIFY(c->OpenConnection(true));
        QVERIFY(c->CheckPermission(129));
        QVERIFY(half.Save(c));
    }
}

void tst_DataAccess::lostUpdateIsRefusedAcrossProcesses()
{
    const qint32 id = addPrinter(QStringLiteral("Contested"));
    QM6Printer mine;
    QVERIFY(!mine.Load(c, id));
    QProcess w;
    w.start(QStringLiteral(QM6_WORKER_PATH), {QStringLiteral("rename"), m_url, QStringLiteral("dave"), QString::number(id), QStringLiteral("Renamed")});
    QVERIFY(w.waitForFinished(60000));
    QCOMPARE(w.exitCode(), 0);
    mine.SetModel(QStringLiteral("mine"));
    QM6ErrorPtr e = mine.Save(c);
    QVERIFY(e);
    QVERIFY2(e->Description().contains(QStringLiteral("dave")), qPrintable(e->Description()));
    QM6Printer stored;
    QVERIFY(!stored.Load(c, id));
    QCOMPARE(stored.Name(), QStringLiteral("Renamed"));
    QVERIFY(stored.Model().isEmpty());
}

void tst_DataAccess::writesFromTwoProcessesAreAllKept()
{
    const int each = 40;
    QProcess a, b;
    a.start(QStringLiteral(QM6_WORKER_PATH), {QStringLiteral("add"), m_url, QStringLiteral("admin"), QString::number(each), QStringLiteral("A")});
    b.start(QStringLiteral(QM6_WORKER_PATH), {QStringLiteral("add"), m_url, QStringLiteral("admin"), QString::number(each), QStringLiteral("B")});
    QVERIFY(a.waitForFinished(120000));
    QVERIFY(b.waitForFinished(120000));
    QVERIFY2(a.exitCode() == 0, a.readAllStandardError().constData());
    QVERIFY2(b.exitCode() == 0, b.readAllStandardError().constData());
    QCOMPARE(printers()->RecordCount(), 2 * each);
}

void tst_DataAccess::toolWritesADemoSiteThatPassesItsCheck()
{
    QString url = m_url;
    if (!m_pg) {
        url = QStringLiteral("sqlite:%1/demo%2.db").arg(m_dir.path()).arg(m_caseNo);
    } else {
        c.reset();
        QM6ConnectionPtr raw;
        QVERIFY(!QM6Connection::Open(m_url, QStringLiteral("admin"), &raw));
        QSqlQuery q(raw->d_func()->db());
        QVERIFY(q.exec(QStringLiteral("DROP SCHEMA public CASCADE")));
        QVERIFY(q.exec(QStringLiteral("CREATE SCHEMA public")));
    }
    QProcess init;
    init.start(QStringLiteral(QM6DATA_PATH), {QStringLiteral("init"), url, QStringLiteral("--demo")});
    QVERIFY(init.waitForFinished(120000));
    QVERIFY2(init.exitCode() == 0, init.readAllStandardError().constData());
    QProcess check;
    check.start(QStringLiteral(QM6DATA_PATH), {QStringLiteral("check"), url});
    QVERIFY(check.waitForFinished(120000));
    const QByteArray out = check.readAllStandardOutput();
    QVERIFY2(check.exitCode() == 0, out.constData());
    QVERIFY(out.contains("printers: 60"));

    QM6ConnectionPtr demo;
    QVERIFY(!QM6Connection::Open(url, QStringLiteral("auditor"), &demo));
    QVERIFY(demo->CheckPermission(129));
    QM6ConnectionPtr admin;
    QVERIFY(!QM6Connection::Open(url, QStringLiteral("admin"), &admin));
    QVERIFY(!admin->CheckPermission(129));
    QSqlQuery q(admin->d_func()->db());
    QVERIFY(q.exec(QStringLiteral("SELECT COUNT(DISTINCT connection_type), COUNT(DISTINCT profile_id), SUM(auto_merge) FROM printers")));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toInt(), 3);
    QVERIFY(q.value(1).toInt() >= 3);
    QVERIFY(q.value(2).toInt() >= 1);
    QVERIFY(q.exec(QStringLiteral("SELECT COUNT(DISTINCT merge_type) FROM merged_printers")));
    QVERIFY(q.next());
    QCOMPARE(q.value(0).toInt(), 2);
}

QTEST_GUILESS_MAIN(tst_DataAccess)
#include "tst_dataaccess.moc"
