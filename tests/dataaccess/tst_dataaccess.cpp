// The data component's contract, against SQLite and (QM6_TEST_BACKEND=pg) PostgreSQL.
#include "printerdata.h"
#include "qm6printer.h"
#include "qm6sitecheck.h"
#include "sitefixture.h"

namespace {
// The text properties, with their limit and the name an over-long value is refused with.
struct TextField {
    const char *name;
    int max;
    void (QM6Printer::*set)(const QString &);
    QString (QM6Printer::*get)() const;
};
const TextField kTextFields[] = {
    {"name", 100, &QM6Printer::SetName, &QM6Printer::Name},
    {"port", 100, &QM6Printer::SetPort, &QM6Printer::Port},
    {"host", 55, &QM6Printer::SetHost, &QM6Printer::Host},
    {"device", 255, &QM6Printer::SetDevice, &QM6Printer::Device},
    {"model", 255, &QM6Printer::SetModel, &QM6Printer::Model},
    {"location", 255, &QM6Printer::SetLocation, &QM6Printer::Location},
    {"serial number", 255, &QM6Printer::SetSerialNo, &QM6Printer::SerialNo},
    {"account number", 255, &QM6Printer::SetAccountNo, &QM6Printer::AccountNo},
};
} // namespace

using namespace SiteFixture;

class tst_DataAccess : public QObject, SiteFixture::Suite {
    Q_OBJECT

    qint32 addPrinter(const QString &name, qint32 bw = 0, qint32 color = 0)
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

    // Loads the owner and makes the printer or alias with aliasKey its alias.
    QM6ErrorPtr merge(QM6Printer &owner, qint32 ownerId, const QString &aliasKey)
    {
        QM6ErrorPtr e = owner.Load(c, ownerId);
        return e ? e : owner.AddAlias(c, aliasKey, QStringLiteral("d"), QString(), QString(), 3, true);
    }

    static QByteArray fileBytes(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
    }

    qint64 scalar(const QString &sql) { return SiteFixture::scalar(c, sql); }

    qint64 jobsOf(qint32 id) { return scalar(QStringLiteral("SELECT COUNT(*) FROM print_jobs WHERE printer_id = %1").arg(id)); }
    qint64 ownerOf(const QString &key) { return scalar(QStringLiteral("SELECT owner_id FROM merged_printers WHERE alias_key = '%1'").arg(key)); }
    qint64 mergeTypeOf(const QString &key) { return scalar(QStringLiteral("SELECT merge_type FROM merged_printers WHERE alias_key = '%1'").arg(key)); }

    QString keyOf(qint32 id)
    {
        QM6Printer p;
        return p.Load(c, id) ? QString() : p.PrinterKey();
    }

    QM6RecordsetPtr printers()
    {
        QM6RecordsetPtr rs;
        if (QM6ErrorPtr e = PrinterData::Instance().GetPrinters(c, &rs, true))
            qWarning() << e->Description();
        return rs;
    }

private slots:
    void initTestCase()
    {
        QM6_SKIP_WITHOUT_SERVER();
        QVERIFY(m_dir.isValid());
    }
    void init() { nextSite(); }

    void cleanup()
    {
        QM6Error::SetDisplayHandler({});
        c.reset();
    }

    void getPrintersGivesConsecutiveRecordsInOrder()
    {
        const qint32 b = addPrinter(QStringLiteral("Beta"));
        const qint32 a1 = addPrinter(QStringLiteral("Alpha"));
        const qint32 a2 = addPrinter(QStringLiteral("Alpha"));
        QM6Printer target;
        QVERIFY_OK(target.Load(c, a1));
        QStringList aliasKeys;
        for (const QString &name : {QStringLiteral("Source two"), QStringLiteral("Source one")}) {
            aliasKeys << keyOf(addPrinter(name));
            QVERIFY_OK(target.AddAlias(c, aliasKeys.last(), QStringLiteral("dev"), QStringLiteral("host"), QStringLiteral("port"), 2, true));
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
        QVERIFY(rs->IsNull(rs->FieldIndex(QStringLiteral("AliasPrinterKey"))));
        QVERIFY(!rs->Fields(QStringLiteral("AliasMergeType")).isValid());
        QVERIFY(rs->Fields(QStringLiteral("Port")).isNull());
        rs->MoveFirst();   // the list walks the set again on every filter change
        QCOMPARE(rs->Fields(QStringLiteral("PrinterId")).toInt(), a1);
    }

    void saveAndLoadKeepEveryProperty_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << QStringLiteral("HP LaserJet 4050");
        QTest::newRow("quotes and backslashes") << QStringLiteral("O'Brien \"big\" \\\\srv\\share'; DROP TABLE printers; --");
        QTest::newRow("control characters") << QStringLiteral("a\x07" "b\rc\td\ne");
        QTest::newRow("non-Latin") << QStringLiteral("Принтер 東京 Ελλάδα ✓ 🖨");
        QTest::newRow("outer blanks") << QStringLiteral("  padded  ");
    }

    void saveAndLoadKeepEveryProperty()
    {
        QFETCH(QString, text);
        QSqlQuery q(QM6ConnectionPrivate::get(c)->db());
        QVERIFY(q.exec(QStringLiteral("INSERT INTO track_profiles (name) VALUES ('Zeta'), ('Standard'), ('Alpha')")));
        const qint32 profile = qint32(scalar(QStringLiteral("SELECT profile_id FROM track_profiles WHERE name = 'Standard'")));

        QM6Printer p, r;
        int n = 0;   // each text property a value of its own; the name is the text as it is
        for (const TextField &f : kTextFields)
            (p.*f.set)(n++ ? QString::number(n) + text : text);
        p.SetConnectionType(2);
        p.SetDeviceType(4);
        p.SetPrintProfileId(profile);
        for (auto set : {&QM6Printer::SetIsColor, &QM6Printer::SetIsDuplex, &QM6Printer::SetPopEarly,
                         &QM6Printer::SetDisableColorMode, &QM6Printer::SetAutoMerge})
            (p.*set)(true);
        p.AutoMergeRule().SetDeviceMatch(text + QStringLiteral(" d"));
        p.AutoMergeRule().SetHostMatch(text + QStringLiteral(" h"));
        p.AutoMergeRule().SetPortMatch(text + QStringLiteral(" p"));
        p.AutoMergeRule().SetModelMatch(text + QStringLiteral(" m"));
        p.AutoMergeRule().AddConnectionType(1);
        p.AutoMergeRule().AddConnectionType(3);
        p.SetBWTotal(1234);
        p.SetColorTotal(56);
        QVERIFY_OK(p.Save(c));

        QVERIFY_OK(r.Load(c, p.PrinterId()));
        for (const TextField &f : kTextFields)
            QCOMPARE((r.*f.get)(), (p.*f.get)());
        QCOMPARE(r.ConnectionType(), 2);
        QCOMPARE(r.DeviceType(), 4);
        QCOMPARE(r.PrintProfileId(), profile);
        QVERIFY(r.IsColor() && r.IsDuplex() && r.PopEarly() && r.DisableColorMode() && r.AutoMerge());
        auto matches = [](QM6Printer &x) {
            return QStringList{x.AutoMergeRule().DeviceMatch(), x.AutoMergeRule().HostMatch(),
                               x.AutoMergeRule().PortMatch(), x.AutoMergeRule().ModelMatch()};
        };
        QCOMPARE(matches(r), matches(p));
        QVERIFY(r.AutoMergeRule().IncludesConnectionType(1) && r.AutoMergeRule().IncludesConnectionType(3));
        QVERIFY(!r.AutoMergeRule().IncludesConnectionType(2));
        QCOMPARE(r.BWTotal(), 1234);
        QCOMPARE(r.ColorTotal(), 56);
        QCOMPARE(r.PrinterKey(), p.PrinterKey());

        // The list shows the same texts, byte for byte; profiles come by name.
        QM6RecordsetPtr rs = printers();
        QCOMPARE(rs->Fields(QStringLiteral("Name")).toString(), text);
        QCOMPARE(rs->Fields(QStringLiteral("ProfileName")).toString(), QStringLiteral("Standard"));
        QCOMPARE(rs->Fields(QStringLiteral("AccountNo")).toString(), p.AccountNo());
        QVERIFY_OK(PrinterData::Instance().GetPrintProfiles(c, &rs));
        QStringList names;
        for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext())
            names << rs->Fields(QStringLiteral("Name")).toString();
        QCOMPARE(names, (QStringList{"Alpha", "Standard", "Zeta"}));
    }

    void overLongTextIsRefusedNamingTheField_data()
    {
        QTest::addColumn<int>("field");
        for (int i = 0; i < int(std::size(kTextFields)); ++i)
            QTest::newRow(kTextFields[i].name) << i;
    }

    void overLongTextIsRefusedNamingTheField()
    {
        QFETCH(int, field);
        const TextField &f = kTextFields[field];
        QM6Printer p;
        p.SetName(QStringLiteral("Fits"));
        (p.*f.set)(QString(f.max, QChar(u'é')));   // exactly at the limit, in characters, not bytes
        QVERIFY_OK(p.Save(c));
        const QString versionSql = QStringLiteral("SELECT row_version FROM printers WHERE printer_id = %1").arg(p.PrinterId());
        const qint64 version = scalar(versionSql);

        (p.*f.set)(QString(f.max + 1, QChar(u'x')));
        QM6ErrorPtr e = p.Save(c);
        QVERIFY(e);
        QCOMPARE(e->Number(), qint32(QM6Error::ErrTooLong));
        QVERIFY2(e->Description().contains(QLatin1String(f.name)), qPrintable(e->Description()));
        QVERIFY(e->Description().contains(QString::number(f.max)));
        QCOMPARE(scalar(versionSql), version);
    }

    // New printers get an id and key; saves stamp who and when (who the user is, not the name the
    // rights were narrowed to); a save over a change that another process made since the load is
    // refused, naming the printer as stored.
    void saveStampsAndRefusesALostUpdateNamingWhoAndWhen()
    {
        QM6Printer mine, other;
        QCOMPARE(mine.PrinterId(), -1);
        mine.SetName(QStringLiteral("Shared"));
        other.SetName(QStringLiteral("Other"));
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        QVERIFY_OK(mine.Save(c));
        QVERIFY_OK(other.Save(c));
        QVERIFY(mine.PrinterId() > 0 && !mine.PrinterKey().isEmpty());
        QVERIFY(other.PrinterId() != mine.PrinterId() && other.PrinterKey() != mine.PrinterKey());
        QVERIFY_OK(other.Load(c, mine.PrinterId()));
        const QString me = m_pg ? QStringLiteral("postgres") : QM6Connection::OperatingSystemUser();
        QCOMPARE(c->NarrowedTo(), QString());   // the site's maker, as it made the site
        QCOMPARE(c->UserName(), me);
        QCOMPARE(other.ModifiedBy(), me);

        const QString id = QString::number(mine.PrinterId());
        QCOMPARE(run(QStringLiteral(QM6_WORKER_PATH), {"save", m_url, "", id, "Renamed"}), 0);
        mine.SetName(QStringLiteral("My unsaved name"));
        QM6ErrorPtr e = mine.Save(c);
        QVERIFY(e);
        QCOMPARE(e->Number(), qint32(QM6Error::ErrConflict));
        QVERIFY2(e->Description().contains(QStringLiteral("changed by %1").arg(me)), qPrintable(e->Description()));
        QVERIFY2(e->Description().contains(QStringLiteral("\"Renamed\" (opened as \"Shared\")")), qPrintable(e->Description()));
        QVERIFY2(!e->Description().contains(QStringLiteral("unsaved")), qPrintable(e->Description()));
        QVERIFY2(e->Description().contains(QString::number(QDate::currentDate().year())), qPrintable(e->Description()));
        QVERIFY(mine.SaveTotals(c, 5, 5));   // totals go through the same check
        QVERIFY_OK(other.Load(c, mine.PrinterId()));
        QCOMPARE(other.Name(), QStringLiteral("Renamed"));
        QCOMPARE(other.ModifiedBy(), me);
        QVERIFY(other.ModifiedOn() >= before && other.ModifiedOn() <= QDateTime::currentDateTime().addSecs(1));
    }

    // The connection keeps its statements prepared between calls; none may keep reading an old
    // state of the site once its call has returned.
    void aChangeBySomeoneElseIsSeenByTheNextCall()
    {
        const qint32 x = addPrinter(QStringLiteral("Before")), y = addPrinter(QStringLiteral("Other"));
        QM6Printer mine;
        QVERIFY_OK(mine.Load(c, x));
        QVERIFY_OK(mine.Load(c, y));
        QCOMPARE(run(QStringLiteral(QM6_WORKER_PATH), {"save", m_url, "", QString::number(x), "Renamed"}), 0);
        QM6RecordsetPtr rs = printers();
        QVERIFY(rs);
        QStringList names;
        for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext())
            names << rs->Fields(QStringLiteral("Name")).toString();
        QVERIFY2(names.contains(QStringLiteral("Renamed")), qPrintable(names.join(u',')));
        mine.SetModel(QStringLiteral("Saved after the other change"));
        QVERIFY_OK(mine.Save(c));
        QVERIFY_OK(mine.Load(c, x));
        QCOMPARE(mine.Name(), QStringLiteral("Renamed"));
    }

    void unknownPrinterIsReportedThroughTheDisplayHandler()
    {
        QStringList shown;
        QM6Error::SetDisplayHandler([&](const QM6Error &e) { shown << e.Description(); });
        QM6Printer p;
        QM6ErrorPtr e = p.Load(c, 12345);
        QVERIFY(e);
        QCOMPARE(e->Description(), QStringLiteral("Printer 12345 does not exist."));
        QVERIFY(shown.isEmpty());
        e->Display();
        QCOMPARE(shown, QStringList{e->Description()});
    }

    void addAliasMovesAliasesJobsAndTotals()
    {
        const qint32 t = addPrinter(QStringLiteral("Target"), 100, 10);
        const qint32 s = addPrinter(QStringLiteral("Source"), 50, 5);
        const QString sKey = keyOf(s), saKey = keyOf(addPrinter(QStringLiteral("Source's alias"), 7, 0));
        QM6Printer source, target;
        QVERIFY_OK(merge(source, s, saKey));
        QSqlQuery q(QM6ConnectionPrivate::get(c)->db());
        QVERIFY(q.exec(QStringLiteral("UPDATE merged_printers SET merge_type = 2 WHERE alias_key = '%1'").arg(saKey)));
        addJobs(c, sKey, s, 3);
        addJobs(c, saKey, s, 2);

        QVERIFY_OK(target.Load(c, t));
        QVERIFY_OK(target.AddAlias(c, sKey, QStringLiteral("Source device"), QStringLiteral("srv"), QStringLiteral("\\\\srv\\q"), 1, true));
        QCOMPARE(jobsOf(t), 5);
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM print_jobs")), 5);
        QCOMPARE(mergeTypeOf(sKey), 1);
        QCOMPARE(mergeTypeOf(saKey), 2);
        QCOMPARE(ownerOf(saKey), t);
        QVERIFY_OK(source.Load(c, t));
        QCOMPARE(source.BWTotal(), 100 + 50 + 7);
        QCOMPARE(source.ColorTotal(), 15);
        QVERIFY(source.Load(c, s));   // the source left the list
        QCOMPARE(printers()->RecordCount(), 2);
        // The target object saw its own change: a later save is no conflict.
        target.SetModel(QStringLiteral("after merge"));
        QVERIFY_OK(target.Save(c));
    }

    // One alias through its life: refused merges change nothing, then it moves, comes back, is removed.
    void aliasesMoveAndGoAndTheirJobsStay()
    {
        const qint32 o = addPrinter(QStringLiteral("Owner"));
        const qint32 t = addPrinter(QStringLiteral("New owner"));
        const qint32 a = addPrinter(QStringLiteral("Alias"));
        const QString aKey = keyOf(a);
        addJobs(c, aKey, a, 4);
        addJobs(c, keyOf(o), o, 2);
        QM6Printer owner, target, byId;
        QVERIFY_OK(merge(owner, o, aKey));
        QSqlQuery q(QM6ConnectionPrivate::get(c)->db());
        QVERIFY(q.exec(QStringLiteral("UPDATE merged_printers SET merge_type = 2")));
        for (const QString &key : {keyOf(t), QStringLiteral("NO-SUCH")}) {   // itself; unknown
            QM6ErrorPtr e = merge(target, t, key);
            QVERIFY(e);
            QVERIFY2(e->Description().contains(key), qPrintable(e->Description()));
        }
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM printers WHERE deleted = 0")), 2);
        QCOMPARE(ownerOf(aKey), o);

        qint32 count = -1;
        QVERIFY_OK(owner.MoveAlias(c, aKey, t, count));
        QCOMPARE(count, 4);
        QCOMPARE(jobsOf(t), 4);
        QCOMPARE(jobsOf(o), 2);
        QCOMPARE(mergeTypeOf(aKey), 1);
        QVERIFY(owner.MoveAlias(c, QStringLiteral("NO-SUCH"), t, count));
        QVERIFY(owner.MoveAlias(c, aKey, 999999, count));
        QVERIFY_OK(merge(owner, o, aKey));   // merging an alias of another printer moves it here
        QCOMPARE(ownerOf(aKey), o);

        byId.SetPrinterId(o);
        QVERIFY_OK(byId.DeleteAlias(c, aKey, count));
        QCOMPARE(count, 4);
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM merged_printers")), 0);
        QCOMPARE(jobsOf(o), 6);
        QM6ErrorPtr e = byId.DeleteAlias(c, aKey, count);
        QVERIFY(e);
        QCOMPARE(e->Severity(), qint32(QM6Error::SeverityIgnorable));
        QCOMPARE(count, 0);

        // Deleting the printer takes it and its aliases off the list; every job stays recorded.
        const qint32 b = addPrinter(QStringLiteral("Second alias"));
        addJobs(c, keyOf(b), b, 1);
        QVERIFY_OK(merge(owner, o, keyOf(b)));
        QVERIFY_OK(byId.Delete(c));
        QM6RecordsetPtr rs = printers();
        QCOMPARE(rs->RecordCount(), 1);
        QCOMPARE(rs->Fields(QStringLiteral("PrinterId")).toInt(), t);
        QCOMPARE(jobsOf(o), 7);
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM merged_printers")), 0);
        QVERIFY(owner.Load(c, o));
        QVERIFY(byId.Delete(c));   // twice: it is gone
    }

    void rollbackLeavesNothingAndAFailedStepFailsTheCommit()
    {
        QM6Printer p, half;
        p.SetName(QStringLiteral("Never"));
        QVERIFY_OK(c->BeginTransaction());
        QVERIFY(c->InTransaction());
        QVERIFY_OK(p.Save(c));
        QVERIFY_OK(p.SaveTotals(c, 10, 2));
        QVERIFY_OK(c->RollbackTransaction());
        QVERIFY(!c->InTransaction());
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM printers")), 0);
        QVERIFY(c->CommitTransaction());   // nothing open

        half.SetName(QStringLiteral("Half"));
        QVERIFY_OK(c->BeginTransaction());
        QVERIFY_OK(half.Save(c));
        QVERIFY(QM6ConnectionPrivate::get(c)->ExecSql(QStringLiteral("INSERT INTO no_such_table VALUES (1)"), QStringLiteral("A broken step")));
        QVERIFY(c->CommitTransaction());
        QVERIFY(!c->InTransaction());
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM printers")), 0);
    }

    void checkPermission_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("says");   // empty: granted
        QTest::newRow("admin") << QStringLiteral("admin") << QString();
        QTest::newRow("auditor") << QStringLiteral("auditor") << QStringLiteral("129");
        QTest::newRow("unknown") << QStringLiteral("mallory") << QStringLiteral("not known");
    }

    void checkPermission()
    {
        QFETCH(QString, user);
        QFETCH(QString, says);
        QSqlQuery q(QM6ConnectionPrivate::get(c)->db());
        QVERIFY(q.exec(QStringLiteral("INSERT INTO users (user_name) VALUES ('auditor')")));
        QVERIFY(q.exec(QStringLiteral("INSERT INTO user_permissions (user_id, code) SELECT user_id, 128 FROM users WHERE user_name = 'auditor'")));
        QM6ConnectionPtr as;
        QVERIFY_OK(QM6Connection::Open(m_url, user, &as));
        QM6ErrorPtr e = as->CheckPermission(129);
        QCOMPARE(!e, says.isEmpty());
        if (e) {
            QVERIFY2(e->Description().contains(says) && e->Description().contains(user), qPrintable(e->Description()));
            QCOMPARE(e->Number(), qint32(QM6Error::ErrPermission));
        }
        QVERIFY(!as->CheckPermission(128) || user == QLatin1String("mallory"));
    }

    void connectionTypeListComesFromTheCallersConnection()
    {
        const QStringList texts{QString(), "Network share", "Direct IP", "Local"};
        auto check = [&](const QVariant &list) {
            const QVariantList rows = list.toList();
            QCOMPARE(rows.size(), texts.size());
            for (int i = 0; i < texts.size(); ++i)
                QCOMPARE(rows[i].toList(), (QVariantList{i, texts[i]}));
        };
        check(LookupLists::Instance().GetList(c, 6));
        {
            // A second site opened and dropped later must not take the first one's place.
            QTemporaryDir other;
            QM6ConnectionPtr second;
            QVERIFY_OK(QM6Connection::CreateSite(QStringLiteral("sqlite:") + other.filePath(QStringLiteral("other.db")), &second));
            QSqlQuery q(QM6ConnectionPrivate::get(second)->db());
            QVERIFY(q.exec(QStringLiteral("UPDATE lookup_entries SET text = 'Elsewhere' WHERE list_no = 6 AND code = 3")));
            QCOMPARE(LookupLists::Instance().GetList(second, 6).toList().value(3).toList().value(1).toString(), QStringLiteral("Elsewhere"));
        }
        LookupLists::Instance().Clear(c);
        check(LookupLists::Instance().GetList(c, 6));
        QVERIFY(!LookupLists::Instance().GetList(nullptr, 6).isValid());
        QVERIFY(!LookupLists::Instance().GetList(c, 4711).isValid());
    }

    void lostConnectionGivesAnError()
    {
        const qint32 id = addPrinter(QStringLiteral("Here"));
        QM6Printer half, p;
        half.SetName(QStringLiteral("Half written"));
        if (m_pg) {
            QVERIFY_OK(c->BeginTransaction());
            QVERIFY_OK(half.Save(c));
            QM6ConnectionPtr killer;
            QVERIFY_OK(QM6Connection::Open(m_url, QStringLiteral("admin"), &killer));
            QSqlQuery q(QM6ConnectionPrivate::get(killer)->db());
            QVERIFY(q.exec(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE pid <> pg_backend_pid() "
                                          "AND datname = current_database()")));
        } else {
            for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
                QFile::remove(m_url.mid(7) + suffix);
        }
        QM6RecordsetPtr rs;
        QM6ErrorPtr e = PrinterData::Instance().GetPrinters(c, &rs, true);
        QVERIFY(e && !rs);
        QVERIFY(!e->Description().isEmpty());
        QVERIFY(p.Load(c, id));   // for PostgreSQL: not inside the broken transaction either
        if (m_pg) {
            QVERIFY(c->CommitTransaction());
            QVERIFY(!c->InTransaction());
            // The server is still there: opening again reconnects, and the half change is not stored.
            QVERIFY_OK(c->OpenConnection(true));
            QVERIFY_OK(p.Load(c, id));
            QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM printers")), 1);
        } else {
            QVERIFY(c->OpenConnection(true));
            QVERIFY(c->CheckPermission(129));
            QVERIFY(half.Save(c));
        }
    }

    void writesFromTwoProcessesAreAllKept()
    {
        const int each = 40;
        QProcess a, b;
        a.start(QStringLiteral(QM6_WORKER_PATH), {"add", m_url, "admin", QString::number(each), "A"});
        b.start(QStringLiteral(QM6_WORKER_PATH), {"add", m_url, "admin", QString::number(each), "B"});
        QVERIFY(a.waitForFinished(120000) && b.waitForFinished(120000));
        QVERIFY2(a.exitCode() == 0, a.readAllStandardError().constData());
        QVERIFY2(b.exitCode() == 0, b.readAllStandardError().constData());
        QCOMPARE(printers()->RecordCount(), 2 * each);
    }

    void aWriterHoldingTheDatabaseIsWaitedFor()
    {
        // Longer than the SQLite library's own default wait of five seconds.
        QProcess holder;
        holder.start(QStringLiteral(QM6_WORKER_PATH), {"hold", m_url, "admin", m_pg ? "1500" : "6000", "-"});
        QVERIFY(holder.waitForReadyRead(30000));
        QCOMPARE(holder.readLine().trimmed(), QByteArray("held"));
        // The other process commits in a moment; a save meanwhile waits for it, not fails.
        QVERIFY(addPrinter(QStringLiteral("After the wait")) > 0);
        QVERIFY(holder.waitForFinished(30000));
        QVERIFY2(holder.exitCode() == 0, holder.readAllStandardError().constData());
        QCOMPARE(printers()->RecordCount(), 2);
    }

    void anAddressWithoutASiteIsRefusedAndNotMade_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("mistyped file") << QStringLiteral("missing");
        QTest::newRow("empty file") << QStringLiteral("empty file");
        QTest::newRow("database without the tables") << QStringLiteral("no tables");
    }

    void anAddressWithoutASiteIsRefusedAndNotMade()
    {
        QFETCH(QString, kind);
        QString url;
        QString path;
        if (kind == QLatin1String("no tables")) {
            if (m_pg) {
                c.reset();
                dropSchema(m_url);
                url = m_url;
            } else {
                path = m_dir.filePath(QStringLiteral("foreign%1.db").arg(m_caseNo));
                QVERIFY(makeForeignFile(path));
                url = QStringLiteral("sqlite:") + path;
            }
        } else {
            if (m_pg)
                QSKIP("a PostgreSQL site is no file");
            path = m_dir.filePath(QStringLiteral("mistyped%1.db").arg(m_caseNo));
            if (kind == QLatin1String("empty file")) {
                QFile f(path);
                QVERIFY(f.open(QIODevice::WriteOnly));
            }
            url = QStringLiteral("sqlite:") + path;
        }
        const QByteArray before = path.isEmpty() ? QByteArray() : fileBytes(path);
        QM6ConnectionPtr other;
        const QM6ErrorPtr e = QM6Connection::Open(url, QString(), &other);
        QVERIFY(e);
        QVERIFY(!other);
        QCOMPARE(e->Number(), qint32(QM6Error::ErrNoDatabase));
        QVERIFY2(e->Description().contains(QStringLiteral("qm6data init %1").arg(QM6Connection::DisplayUrl(url))), qPrintable(e->Description()));
        if (kind == QLatin1String("missing"))
            QVERIFY(!QFile::exists(path));
        else if (!path.isEmpty())
            QCOMPARE(fileBytes(path), before);
        else
            QCOMPARE(tableCensus(url), QString());
        // Making it on purpose works.
        QVERIFY_OK(QM6Connection::CreateSite(url, &other));
        QVERIFY(!other->CheckPermission(129));
    }

    void aFileThatIsNoDatabaseIsRefusedSayingSo_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("text") << QByteArray("Printers\nHP LaserJet 4050\tUSB001\n");
        QTest::newRow("a page of other bytes") << QByteArray(4096, '\xa5');
    }

    // The user is told why the file is no site, in words, and the file is left alone.
    void aFileThatIsNoDatabaseIsRefusedSayingSo()
    {
        if (m_pg)
            QSKIP("a PostgreSQL site is no file");
        QFETCH(QByteArray, content);
        const QString path = m_dir.filePath(QStringLiteral("other%1.db").arg(m_caseNo));
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QCOMPARE(f.write(content), content.size());
        }
        QM6ConnectionPtr other;
        const QM6ErrorPtr e = QM6Connection::Open(QStringLiteral("sqlite:") + path, QString(), &other);
        QVERIFY(e);
        QVERIFY(!other);
        QCOMPARE(e->Number(), qint32(QM6Error::ErrNoDatabase));
        QVERIFY2(e->Description().contains(QStringLiteral("the file is not an SQLite database")), qPrintable(e->Description()));
        QCOMPARE(fileBytes(path), content);
    }

    void malformedPostgresAddressesAreRefused_data()
    {
        QTest::addColumn<QString>("url");
        QTest::newRow("port not a number") << QStringLiteral("postgresql://qm6@db.example:54x2/quillmark");
        QTest::newRow("empty port") << QStringLiteral("postgresql://qm6@db.example:/quillmark");
        QTest::newRow("port out of range") << QStringLiteral("postgresql://qm6@db.example:70000/quillmark");
        QTest::newRow("port zero") << QStringLiteral("postgresql://qm6@db.example:0/quillmark");
        QTest::newRow("no database") << QStringLiteral("postgresql://qm6@db.example:5432/");
        QTest::newRow("no path") << QStringLiteral("postgresql://qm6@db.example");
    }

    void malformedPostgresAddressesAreRefused()
    {
        QFETCH(QString, url);
        QM6ConnectionPtr other;
        const QM6ErrorPtr e = QM6Connection::Open(url, QStringLiteral("admin"), &other);
        QVERIFY(e);
        QVERIFY(!other);
        QCOMPARE(e->Number(), qint32(QM6Error::ErrNoDatabase));
        QVERIFY2(e->Description().contains(QLatin1String("postgresql://user@host:port/database")), qPrintable(e->Description()));
    }

    void siteCheckComparesPortsWithConnectionTypes_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("host");
        QTest::addColumn<bool>("holds");
        QTest::newRow("share") << 1 << QStringLiteral("\\\\srv01\\hp4050") << QStringLiteral("SRV01") << true;
        QTest::newRow("share, other server as host") << 1 << QStringLiteral("\\\\srv01\\hp4050") << QStringLiteral("SRV02") << false;
        QTest::newRow("share type, local port") << 1 << QStringLiteral("LPT1:") << QStringLiteral("WS-0100") << false;
        QTest::newRow("direct IP") << 2 << QStringLiteral("10.1.2.3:9100") << QStringLiteral("00-1B-78-A0-3C-5F") << true;
        QTest::newRow("direct IP without port") << 2 << QStringLiteral("10.1.2.3") << QStringLiteral("prn-lab") << true;
        QTest::newRow("direct IP type, share port") << 2 << QStringLiteral("\\\\srv01\\x") << QStringLiteral("srv01") << false;
        QTest::newRow("direct IP type, address out of range") << 2 << QStringLiteral("10.1.2.300") << QStringLiteral("prn") << false;
        QTest::newRow("local") << 3 << QStringLiteral("USB001") << QStringLiteral("WS-0100") << true;
        QTest::newRow("local type, IP port") << 3 << QStringLiteral("10.1.2.3:9100") << QStringLiteral("WS-0100") << false;
        QTest::newRow("no type") << 0 << QStringLiteral("USB001") << QStringLiteral("WS-0100") << false;
    }

    void siteCheckComparesPortsWithConnectionTypes()
    {
        QFETCH(int, type);
        QFETCH(QString, port);
        QFETCH(QString, host);
        QFETCH(bool, holds);
        QM6Printer p;
        p.SetName(QStringLiteral("Placed"));
        p.SetConnectionType(type);
        p.SetPort(port);
        p.SetHost(host);
        QVERIFY_OK(p.Save(c));
        QStringList report;
        bool allHold = false;
        QVERIFY_OK(QM6SiteCheck::Run(c.get(), &report, &allHold));
        QCOMPARE(allHold, holds);
        QVERIFY2(report.contains(QStringLiteral("ok: every printer's port and host fit its connection type")) == holds,
                 qPrintable(report.join(u'\n')));
    }

    void rolledBackSaveCanBeRepeatedOnceItsIdentityIsBack()
    {
        const qint32 stored = addPrinter(QStringLiteral("Stored"));
        for (const bool isNew : {true, false}) {
            QM6Printer p;
            if (isNew)
                p.SetName(QStringLiteral("New"));
            else
                QVERIFY_OK(p.Load(c, stored));
            const QM6Printer::Identity loaded = p.GetIdentity();
            // The caller's transaction holds the save and is rolled back after it succeeded.
            QVERIFY_OK(c->BeginTransaction());
            QVERIFY_OK(p.Save(c));
            QVERIFY(p.PrinterId() != loaded.printerId || p.GetIdentity().rowVersion != loaded.rowVersion);
            QVERIFY_OK(c->RollbackTransaction());
            p.RestoreIdentity(loaded);
            QCOMPARE(p.PrinterId(), loaded.printerId);
            QCOMPARE(p.PrinterKey(), loaded.printerKey);
            QCOMPARE(p.ModifiedOn(), loaded.modifiedOn);
            p.SetModel(QStringLiteral("again"));
            QVERIFY_OK(p.Save(c));
            QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM printers WHERE name = '%1'").arg(p.Name())), 1);
            QCOMPARE(scalar(QStringLiteral("SELECT row_version FROM printers WHERE name = '%1' AND model = 'again'").arg(p.Name())),
                     isNew ? 1 : 2);
        }
    }

    void toolManagesTrackProfiles()
    {
        const QString tool = QStringLiteral(QM6DATA_PATH);
        auto listed = [&] {
            QByteArray out;
            return run(tool, {"profiles", m_url}, &out) == 0 ? QString::fromUtf8(out).split(u'\n', Qt::SkipEmptyParts) : QStringList{"failed"};
        };
        // A new site gets the standard profiles once (the editor refuses a printer without one).
        QCOMPARE(run(tool, {"init", m_url}), 0);
        QCOMPARE(run(tool, {"init", m_url}), 0);
        QCOMPARE(listed(), (QStringList{"2\tColour restricted", "5\tDo not track", "3\tFinance", "1\tStandard", "4\tStudents"}));
        QCOMPARE(run(tool, {"profiles", m_url, "add", " Lab "}), 0);
        QCOMPARE(run(tool, {"profiles", m_url, "rename", "2", "Colour on request"}), 0);
        QCOMPARE(listed(), (QStringList{"2\tColour on request", "5\tDo not track", "3\tFinance", "6\tLab", "1\tStandard", "4\tStudents"}));
        // Refusals leave the profiles as they were.
        const QList<QStringList> refused{{"add", "Lab"}, {"add", "  "}, {"add", QString(101, u'x')}, {"rename", "99", "Other"},
                                         {"rename", "1", "Finance"}, {"rename", "1", ""}};
        for (const QStringList &args : refused)
            QVERIFY2(run(tool, QStringList{"profiles", m_url} + args) == 1, qPrintable(args.join(u' ')));
        QCOMPARE(run(tool, {"profiles", m_url, "rename", "x", "Other"}), 2);
        QCOMPARE(run(tool, {"profiles", m_url, "remove", "1"}), 2);
        QCOMPARE(listed().size(), 6);
    }

    void listsAndStandardProfilesSpeakTheLanguage_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("share");        // list 6, code 1
        QTest::addColumn<QString>("inkjet");       // list 5, code 2
        QTest::addColumn<QString>("restricted");   // the second standard profile of a new site
        QTest::newRow("English") << 1033 << "Network share" << "Inkjet printer" << "Colour restricted";
        QTest::newRow("French") << 1036 << "Partage réseau" << "Imprimante à jet d'encre" << "Couleur limitée";
        QTest::newRow("German, which has no texts: English") << 1031 << "Network share" << "Inkjet printer" << "Colour restricted";
    }

    void listsAndStandardProfilesSpeakTheLanguage()
    {
        QFETCH(int, language);
        QFETCH(QString, share);
        QFETCH(QString, inkjet);
        QFETCH(QString, restricted);
        QM6Connection::SetLanguage(language);
        const auto restore = qScopeGuard([] { QM6Connection::SetLanguage(1033); });
        auto entry = [this](int list, int code) {
            for (const QVariant &row : LookupLists::Instance().GetList(c, list).toList())
                if (row.toList().value(0).toInt() == code)
                    return row.toList().value(1).toString();
            return QStringLiteral("(none)");
        };
        QCOMPARE(entry(6, 1), share);
        QCOMPARE(entry(5, 2), inkjet);
        // A site made now gets its standard profiles in that language; an existing site keeps its own.
        if (m_pg) {
            c.reset();
            dropSchema(m_url);
            QVERIFY_OK(QM6Connection::CreateSite(m_url, &c));
        }
        const QString url = m_pg ? m_url : QStringLiteral("sqlite:%1/lang%2.db").arg(m_dir.path()).arg(m_caseNo);
        QCOMPARE(run(QStringLiteral(QM6DATA_PATH), {"init", url, "--language", QString::number(language)}), 0);
        QM6ConnectionPtr site;
        QVERIFY_OK(QM6Connection::Open(url, QString(), &site));
        QM6RecordsetPtr profiles;
        QVERIFY_OK(PrinterData::Instance().GetPrintProfiles(site, &profiles));
        QStringList names;
        for (; !profiles->Eof(); profiles->MoveNext())
            names << profiles->Fields(QStringLiteral("Name")).toString();
        QVERIFY2(names.contains(restricted), qPrintable(names.join(u',')));
    }

    void toolPrintsTheAddressAsGiven()
    {
        // Percent signs in an address (a PostgreSQL socket folder is written %2F...) must not be
        // taken for the placeholders of the sentence around them.
        if (m_pg)
            QSKIP("the same texts on both backends; a folder name carries the percent signs here");
        const QString folder = m_dir.filePath(QStringLiteral("odd%2Fname%1"));
        QVERIFY(QDir().mkpath(folder));
        const QString url = QStringLiteral("sqlite:") + folder + QStringLiteral("/site.db");
        for (const QStringList &args : {QStringList{"init", url}, QStringList{"generate", url, "--printers", "3"}, QStringList{"check", url},
                                        QStringList{"profiles", url, "add", "Lab"}}) {
            QByteArray out;
            QCOMPARE(run(QStringLiteral(QM6DATA_PATH), args, &out), 0);
            const QStringList lines = QString::fromUtf8(out).split(u'\n', Qt::SkipEmptyParts);
            QVERIFY2(!lines.isEmpty() && lines.last().startsWith(url + QStringLiteral(": ")), out.constData());
        }
    }

    void toolWritesADemoSiteThatPassesItsCheck()
    {
        QString url = m_url;
        if (m_pg) {
            c.reset();
            dropSchema(m_url);
        } else {
            url = QStringLiteral("sqlite:%1/demo%2.db").arg(m_dir.path()).arg(m_caseNo);
        }
        QCOMPARE(run(QStringLiteral(QM6DATA_PATH), {"init", url, "--demo"}), 0);
        QByteArray out;
        QCOMPARE(run(QStringLiteral(QM6DATA_PATH), {"check", url}, &out), 0);
        QVERIFY2(out.contains("printers: 60"), out.constData());
        // The demo site has merged printers of both kinds for the console to show.
        QVERIFY_OK(QM6Connection::Open(url, QStringLiteral("admin"), &c));
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(DISTINCT merge_type) FROM merged_printers")), 2);
    }
};

QTEST_GUILESS_MAIN(tst_DataAccess)
#include "tst_dataaccess.moc"
