// The printer list read by PrinterData::GetPrinters, against SQLite and (QM6_TEST_BACKEND=pg)
// PostgreSQL: every record and field as the joined query of printers and merged printers
// gives them, in its byte-wise order; read in the caller's transaction; the longest texts;
// sites of the previous schema version; statistics after a bulk load.
#include "printerdata.h"
#include "qm6printer.h"
#include "qm6schema.h"
#include "qm6sitegenerator.h"
#include "sitefixture.h"

using namespace SiteFixture;

namespace {

const QStringList kFields{"PrinterId", "PrinterKey", "Name", "Port", "Host", "ProfileName", "ConnectionType", "AccountNo",
                          "AliasPrinterKey", "AliasDeviceName", "AliasPort", "AliasHost", "AliasMergeType"};

// The list as one query joins it, in the order the list promises: printers by name, then
// identifier, byte by byte; each one's merged printers by key.
const char kJoined[] =
    "SELECT p.printer_id, p.printer_key, p.name, p.port, p.host, tp.name, p.connection_type, p.account_no,"
    " m.alias_key, m.device_name, m.port, m.host, m.merge_type"
    " FROM printers p LEFT JOIN track_profiles tp ON tp.profile_id = p.profile_id"
    " LEFT JOIN merged_printers m ON m.owner_id = p.printer_id"
    " WHERE p.deleted = 0 ORDER BY p.name, p.printer_id, m.alias_key";

// A record as text, Null written apart from every text: "PrinterId=3|Name=<null>|...".
QString describe(const QList<QVariant> &values)
{
    QStringList parts;
    for (int i = 0; i < values.size(); ++i)
        parts << kFields[i] + QLatin1Char('=') + (values[i].isNull() ? QStringLiteral("<null>") : QLatin1Char('"') + values[i].toString() + QLatin1Char('"'));
    return parts.join(QLatin1Char('|'));
}

QStringList fromRecordset(QM6Recordset &rs)
{
    QStringList rows;
    for (rs.MoveFirst(); !rs.Eof(); rs.MoveNext()) {
        QList<QVariant> values;
        for (const QString &f : kFields)
            values << rs.Fields(f);
        rows << describe(values);
    }
    return rows;
}

// 4-byte characters: the longest texts in bytes that the component accepts.
QString wide(int characters, char32_t c = U'\U0001F5A8')
{
    return QString::fromUcs4(std::u32string(size_t(characters), c).c_str(), characters);
}

} // namespace

class tst_PrinterList : public QObject, SiteFixture::Suite {
    Q_OBJECT

    QStringList joined()
    {
        QStringList rows;
        QSqlQuery q(QM6ConnectionPrivate::get(c)->db());
        if (!q.exec(QString::fromLatin1(kJoined)))
            qWarning() << q.lastError().text();
        while (q.next()) {
            QList<QVariant> values;
            for (int i = 0; i < kFields.size(); ++i)
                values << (q.isNull(i) ? QVariant() : q.value(i));
            rows << describe(values);
        }
        return rows;
    }

    QStringList listed()
    {
        QM6RecordsetPtr rs;
        if (QM6ErrorPtr e = PrinterData::Instance().GetPrinters(c, &rs, true)) {
            qWarning() << e->Description();
            return {};
        }
        return fromRecordset(*rs);
    }

    // A row straight into a table: NULL for an invalid QVariant.
    bool insert(const char *table, const QStringList &columns, const QVariantList &values)
    {
        QSqlQuery q(QM6ConnectionPrivate::get(c)->db());
        QStringList marks;
        for (int i = 0; i < columns.size(); ++i)
            marks << QStringLiteral("?");
        q.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(QLatin1String(table), columns.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
        for (int i = 0; i < values.size(); ++i)
            q.bindValue(i, values[i].isValid() ? values[i] : QVariant(QMetaType(QMetaType::QString)));
        if (q.exec())
            return true;
        qWarning() << table << q.lastError().text();
        return false;
    }
    bool printer(qint64 id, const QVariant &name, const QVariant &port, const QVariant &host, const QVariant &account,
                 const QVariant &profile, int type, int deleted = 0)
    {
        return insert("printers", {"printer_id", "printer_key", "name", "port", "host", "account_no", "profile_id", "connection_type", "deleted"},
                      {id, QStringLiteral("K%1").arg(id), name, port, host, account,
                       profile.isValid() ? profile : QVariant(QMetaType(QMetaType::LongLong)), type, deleted});
    }
    bool alias(qint64 owner, const QString &key, const QVariant &device, const QVariant &port, const QVariant &host, int merge)
    {
        return insert("merged_printers", {"alias_key", "device_name", "port", "host", "merge_type", "owner_id"},
                      {key, device, port, host, merge, owner});
    }

    // Names that sort differently byte by byte than by any language, equal names, Null and
    // empty fields, printers with none, one and three merged printers, deleted printers
    // with merged printers of their own, and a profile that is gone.
    void buildMixedSite()
    {
        QVERIFY(exec(c, QStringLiteral("INSERT INTO track_profiles (profile_id, name) VALUES (801, 'Finance'), (802, '')")));
        const QVariant null;
        QVERIFY(printer(11, QStringLiteral("beta"), QStringLiteral("LPT1:"), QStringLiteral("WS-1"), QStringLiteral("ACC-1"), 801, 3));
        QVERIFY(printer(12, QStringLiteral("Beta"), null, null, null, null, 1));
        QVERIFY(printer(13, QStringLiteral("\u00e9t\u00e9"), QString(""), QString(""), QString(""), 802, 2));
        QVERIFY(printer(14, QStringLiteral("Zeta"), QStringLiteral("\\\\srv\\z"), QStringLiteral("SRV"), null, 999, 1));
        QVERIFY(printer(15, QStringLiteral("_under"), null, QStringLiteral("h"), null, 801, 2));
        QVERIFY(printer(16, QStringLiteral("Beta"), QStringLiteral("10.0.0.1:9100"), null, null, null, 2));
        QVERIFY(printer(17, QStringLiteral("a b"), null, null, null, null, 3));
        QVERIFY(printer(18, QStringLiteral("Gone"), null, null, null, null, 3, 1));
        QVERIFY(printer(19, QStringLiteral("Zeta"), null, null, null, 801, 0));
        QVERIFY(alias(16, QStringLiteral("b"), QStringLiteral("dev b"), QStringLiteral("p"), QStringLiteral("h"), 1));
        QVERIFY(alias(16, QStringLiteral("A-10"), null, null, null, 2));
        QVERIFY(alias(16, QStringLiteral("a-2"), QString(""), QString(""), QString(""), 0));
        QVERIFY(alias(13, QStringLiteral("only"), QStringLiteral("d"), QStringLiteral("LPT2:"), QStringLiteral("WS-2"), 1));
        QVERIFY(alias(18, QStringLiteral("of the deleted"), QStringLiteral("d"), null, null, 1));
        QVERIFY(alias(4242, QStringLiteral("of nobody"), QStringLiteral("d"), null, null, 1));
    }

    // Identifiers so far apart that no table by identifier is made for them.
    void buildSparseSite()
    {
        const QVariant null;
        for (qint64 id : {7LL, 900000000LL, 2000000000LL, 1500000000LL})
            QVERIFY(printer(id, QStringLiteral("P%1").arg(id % 97), null, null, null, null, 1));
        QVERIFY(alias(2000000000, QStringLiteral("z"), QStringLiteral("z"), null, null, 1));
        QVERIFY(alias(2000000000, QStringLiteral("y"), QStringLiteral("y"), null, null, 2));
        QVERIFY(alias(7, QStringLiteral("x"), QStringLiteral("x"), null, null, 1));
        QVERIFY(alias(1000, QStringLiteral("w"), QStringLiteral("w"), null, null, 1));
    }

    void buildGeneratedSite()
    {
        QM6SiteGenerator::Options o;
        o.printers = 1500;
        o.aliasesPerPrinter = 1.7;
        o.seed = 13;
        QVERIFY_OK(QM6SiteGenerator::Generate(c.get(), o));
        // Some printers deleted, with their merged printers left behind.
        QVERIFY(exec(c, QStringLiteral("UPDATE printers SET deleted = 1 WHERE printer_id % 7 = 0")));
    }

private slots:
    void initTestCase()
    {
        QM6_SKIP_WITHOUT_SERVER();
        QVERIFY(m_dir.isValid());
    }
    void init() { nextSite(); }
    void cleanup() { c.reset(); }

    void listHoldsWhatTheJoinedQueryGivesInItsOrder_data()
    {
        QTest::addColumn<int>("site");
        QTest::newRow("byte-wise names, Nulls, empties, deleted printers") << 0;
        QTest::newRow("identifiers far apart") << 1;
        QTest::newRow("generated, 1.7 merged printers each") << 2;
    }
    void listHoldsWhatTheJoinedQueryGivesInItsOrder()
    {
        QFETCH(int, site);
        if (site == 0)
            buildMixedSite();
        else if (site == 1)
            buildSparseSite();
        else
            buildGeneratedSite();
        const QStringList expected = joined();
        QVERIFY(expected.size() > 3);
        const QStringList got = listed();
        QCOMPARE(got.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i)
            QCOMPARE(got[i], expected[i]);
    }

    // The same, said without the database: what a reader of the list sees.
    void mixedSiteReadsAsThePageExpects()
    {
        buildMixedSite();
        QM6RecordsetPtr rs;
        QVERIFY_OK(PrinterData::Instance().GetPrinters(c, &rs, true));
        QList<qint64> ids;
        for (rs->MoveFirst(); !rs->Eof(); rs->MoveNext())
            ids << rs->Fields(QStringLiteral("PrinterId")).toLongLong();
        // "Beta" < "Zeta" < "_under" < "a b" < "beta" < "été" byte by byte; equal names by
        // identifier; 16's merged printers by key ("A-10" < "a-2" < "b"); 18 deleted.
        QCOMPARE(ids, (QList<qint64>{12, 16, 16, 16, 14, 19, 15, 17, 11, 13}));
        const int aliasKey = rs->FieldIndex(QStringLiteral("AliasPrinterKey"));
        const int device = rs->FieldIndex(QStringLiteral("AliasDeviceName"));
        const int port = rs->FieldIndex(QStringLiteral("Port"));
        const int profile = rs->FieldIndex(QStringLiteral("ProfileName"));
        QVERIFY(rs->IsNullAt(aliasKey, 0));                       // 12: no merged printers
        QCOMPARE(rs->TextAt(aliasKey, 1).toString(), QStringLiteral("A-10"));
        QVERIFY(rs->IsNullAt(device, 1));                          // Null device name
        QVERIFY(!rs->IsNullAt(device, 2));                         // empty device name
        QVERIFY(rs->TextAt(device, 2).isEmpty());
        QVERIFY(rs->IsNullAt(profile, 4));                         // 14: its profile is gone
        QCOMPARE(rs->TextAt(profile, 6).toString(), QStringLiteral("Finance"));
        QVERIFY(!rs->IsNullAt(port, 9) && rs->TextAt(port, 9).isEmpty());   // 13: empty port
        rs->Move(9);
        QCOMPARE(rs->Fields(QStringLiteral("Port")).toString(), QString(""));
        QVERIFY(!rs->Fields(QStringLiteral("Port")).toString().isNull());
        QCOMPARE(rs->Fields(QStringLiteral("ProfileName")).toString(), QString(""));
        QVERIFY(rs->Fields(QStringLiteral("ProfileName")).isValid());
    }

    // A change in progress sees its own printers, and the list leaves the transaction to it.
    void readInsideACallersTransactionSeesItsChangesAndLeavesItOpen()
    {
        QVERIFY_OK(c->BeginTransaction());
        QM6Printer p;
        p.SetName(QStringLiteral("Not yet committed"));
        p.SetConnectionType(3);
        QVERIFY_OK(p.Save(c));
        QCOMPARE(listed().size(), 1);
        QVERIFY(c->InTransaction());
        QVERIFY_OK(c->RollbackTransaction());
        QCOMPARE(listed().size(), 0);
    }

    // On PostgreSQL the list's indexes carry the listed texts, and an index row holds at
    // most 2,704 bytes: the longest texts the component lets in must fit.
    void longestTextsTheComponentAcceptsAreStoredAndListed()
    {
        QM6Printer target;
        target.SetName(wide(100));
        target.SetPort(wide(100, U'\U0001F4E0'));
        target.SetHost(wide(55, U'\U0001F5A5'));
        target.SetAccountNo(wide(255, U'\U0001F4B0'));
        target.SetConnectionType(3);
        QVERIFY_OK(target.Save(c));
        // A printer whose key the tracking service made as long as keys go, merged into it.
        QVERIFY(insert("printers", {"printer_key", "name", "connection_type"}, {wide(255, U'\U0001F511'), QStringLiteral("source"), 3}));
        QVERIFY_OK(target.AddAlias(c, wide(255, U'\U0001F511'), wide(255), wide(55, U'\U0001F5A5'), wide(100, U'\U0001F4E0'), 2, true));
        QM6RecordsetPtr rs;
        QVERIFY_OK(PrinterData::Instance().GetPrinters(c, &rs, true));
        QCOMPARE(rs->RecordCount(), 1);   // the source is now the target's merged printer
        rs->MoveFirst();
        QCOMPARE(rs->Fields(QStringLiteral("Name")).toString(), wide(100));
        QCOMPARE(rs->Fields(QStringLiteral("AccountNo")).toString(), wide(255, U'\U0001F4B0'));
        QCOMPARE(rs->Fields(QStringLiteral("AliasPrinterKey")).toString(), wide(255, U'\U0001F511'));
        QCOMPARE(rs->Fields(QStringLiteral("AliasDeviceName")).toString(), wide(255));
        QCOMPARE(rs->Fields(QStringLiteral("AliasPort")).toString(), wide(100, U'\U0001F4E0'));
    }

    // A site made by the previous version: opening it brings it up to date, and its list
    // stays the same.
    void siteOfSchemaVersionThreeIsMigratedAndListsTheSame()
    {
        buildGeneratedSite();
        const QStringList before = listed();
        if (m_pg) {
            for (const char *sql : {"DROP INDEX printers_list", "CREATE INDEX printers_list ON printers(deleted, name, printer_id)",
                                    "DROP INDEX merged_printers_owner",
                                    "CREATE INDEX merged_printers_owner ON merged_printers(owner_id, alias_key)",
                                    "ALTER TABLE printers RESET (autovacuum_vacuum_scale_factor, autovacuum_vacuum_insert_scale_factor,"
                                    " autovacuum_analyze_scale_factor)"})
                QVERIFY(exec(c, QString::fromLatin1(sql)));
        }
        QVERIFY(exec(c, QStringLiteral("DROP TABLE printer_history")));
        QVERIFY(exec(c, QStringLiteral("DELETE FROM schema_version WHERE version > 3")));
        c.reset();
        QVERIFY_OK(QM6Connection::Open(m_url, QStringLiteral("admin"), &c));
        QCOMPARE(scalar(c, QStringLiteral("SELECT MAX(version) FROM schema_version")), qint64(QM6Schema::CurrentVersion));
        QCOMPARE(scalar(c, QStringLiteral("SELECT COUNT(*) FROM printer_history")), 0);   // nothing written for the past
        if (m_pg) {
            QCOMPARE(scalar(c, QStringLiteral("SELECT COUNT(*) FROM pg_indexes WHERE indexname IN ('printers_list', "
                                              "'merged_printers_owner') AND indexdef LIKE '%INCLUDE%'")),
                     2);
            QCOMPARE(scalar(c, QStringLiteral("SELECT COUNT(*) FROM pg_class WHERE relname = 'printers' AND "
                                              "array_to_string(reloptions, ',') LIKE '%autovacuum_analyze_scale_factor=0.02%'")),
                     1);
        }
        QCOMPARE(listed(), before);
    }

    // A bulk load leaves PostgreSQL with statistics and a visibility map, so that the list is
    // planned for the rows there are and read from its indexes alone.
    void generatedSiteHasStatisticsAtOnce()
    {
        if (!m_pg)
            QSKIP("SQLite plans the list by its indexes alone");
        QM6SiteGenerator::Options o;
        o.printers = 2000;
        QVERIFY_OK(QM6SiteGenerator::Generate(c.get(), o));
        QVERIFY(scalar(c, QStringLiteral("SELECT reltuples::bigint FROM pg_class WHERE relname = 'printers'")) >= 1900);
        QVERIFY(scalar(c, QStringLiteral("SELECT relallvisible FROM pg_class WHERE relname = 'printers'")) > 0);
        QVERIFY(scalar(c, QStringLiteral("SELECT reltuples::bigint FROM pg_class WHERE relname = 'merged_printers'")) >= 900);
    }
};

QTEST_GUILESS_MAIN(tst_PrinterList)
#include "tst_printerlist.moc"
