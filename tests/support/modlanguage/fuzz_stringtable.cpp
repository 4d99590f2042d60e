// Fuzz target for the string-table loader: the check that decides whether Qt may see a table,
// then QTranslator's own lookups in every table the check lets through.
//
// CTest runs it as a plain program built by g++ with ASan and UBSan: every table named on the
// command line (the shipped ones), once as it is and once with a context table added, then a
// fixed number of mutants of them made from a fixed seed, so that every run tries the same
// inputs and a failure names the run that reproduces it (--first N --runs 1). The same file is
// a libFuzzer target:
//   clang++ -std=c++20 -g -fPIC -fsanitize=fuzzer,address,undefined -DQM6_LIBFUZZER -Isupport
//     $(pkg-config --cflags --libs Qt6Core)
//     tests/support/modlanguage/fuzz_stringtable.cpp support/modstringtable.cpp -o fuzz_stringtable
//   ./fuzz_stringtable build/lang/1033 build/lang/1036
//
// The check runs on an exact-size heap copy, so ASan sees any read past it. Qt's library is not
// instrumented: a table the check accepts is handed to Qt in a mapping that ends at a page with
// no access, so a lookup that reads past the table's end faults instead of passing by luck.
#include "modstringtable.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QTranslator>
#include <QtEndian>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <sanitizer/common_interface_defs.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// Ids the page looks up are numbers; these cover every shipped one and some that are missing.
constexpr int kLastId = 1500;
// Contexts for tables with a context table; the page itself always asks with none.
const char *const kContexts[] = {"", "ctlFleet", "frmPrinter", "frmBatchUpdate", "missing"};

class GuardedCopy {
public:
    explicit GuardedCopy(const QByteArray &bytes)
    {
        const size_t page = size_t(sysconf(_SC_PAGESIZE));
        const size_t size = size_t(bytes.size());
        const size_t body = (size + page - 1) / page * page;
        m_length = body + page;
        m_base = static_cast<char *>(mmap(nullptr, m_length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
        if (m_base == MAP_FAILED) {
            perror("mmap");
            abort();
        }
        mprotect(m_base + body, page, PROT_NONE);
        m_data = m_base + body - size;
        if (size)
            std::memcpy(m_data, bytes.constData(), size);
    }
    ~GuardedCopy() { munmap(m_base, m_length); }
    GuardedCopy(const GuardedCopy &) = delete;
    GuardedCopy &operator=(const GuardedCopy &) = delete;
    const uchar *data() const { return reinterpret_cast<const uchar *>(m_data); }

private:
    char *m_base = nullptr;
    char *m_data = nullptr;
    size_t m_length = 0;
};

void LookUpEverything(const uchar *data, int size)
{
    QTranslator translator;
    if (!translator.load(data, size))
        return;
    static const std::vector<QByteArray> ids = [] {
        std::vector<QByteArray> v;
        for (int id = 0; id <= kLastId; ++id)
            v.push_back(QByteArray::number(id));
        return v;
    }();
    for (const QByteArray &id : ids)
        translator.translate(nullptr, id.constData());
    // Named contexts, disambiguations and plural forms take Qt's other paths.
    for (const char *context : kContexts)
        for (int id = 0; id <= kLastId; id += 7)
            translator.translate(context, ids[size_t(id)].constData(), "x", id % 4);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // An allocation of exactly the table's size: a single byte read past it is caught.
    std::unique_ptr<char[]> exact(new char[size ? size : 1]);
    if (size)
        std::memcpy(exact.get(), data, size);
    if (!modStringTable::IsValidStringTable(exact.get(), qsizetype(size)))
        return 0;
    const GuardedCopy guarded(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    LookUpEverything(guarded.data(), int(size));
    return 0;
}

#ifndef QM6_LIBFUZZER

namespace {

long g_run = -1;

void SayRun()
{
    char text[96];
    const int n = std::snprintf(text, sizeof text, "\nfuzz_stringtable: failed in run %ld (--first %ld --runs 1)\n",
                                g_run, g_run);
    if (n > 0)
        (void)!write(2, text, size_t(n));
}

// splitmix64: a small generator whose sequence depends only on its seed.
class Rng {
public:
    explicit Rng(quint64 seed) : m_state(seed) {}
    quint64 Next()
    {
        quint64 z = (m_state += 0x9e3779b97f4a7c15ull);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
        return z ^ (z >> 31);
    }
    qsizetype Below(qsizetype n) { return n > 0 ? qsizetype(Next() % quint64(n)) : 0; }

private:
    quint64 m_state;
};

quint32 ElfHash(const QByteArray &name)
{
    quint32 h = 0;
    for (const char ch : name) {
        h = (h << 4) + uchar(ch);
        if (const quint32 g = h & 0xf0000000u)
            h ^= g >> 24;
        h &= ~(h & 0xf0000000u);
    }
    return h ? h : 1;
}

void Put32(QByteArray &b, qsizetype at, quint32 v)
{
    if (at >= 0 && at + 4 <= b.size())
        qToBigEndian(v, b.data() + at);
}

// A seed and where its lengths and offsets are: the fields whose damage matters most.
struct Seed {
    QByteArray bytes;
    std::vector<qsizetype> fields;
};

Seed Describe(const QByteArray &qm)
{
    Seed seed{qm, {}};
    for (qsizetype p = 16; p + 5 <= qm.size();) {
        const quint32 length = qFromBigEndian<quint32>(qm.constData() + p + 1);
        seed.fields.push_back(p + 1);
        const qsizetype start = p + 5;
        const qsizetype end = qMin(qm.size(), start + qsizetype(length));
        if (uchar(qm[p]) == 0x42)
            for (qsizetype e = start; e + 8 <= end; e += 8)
                seed.fields.push_back(e + 4);
        if (uchar(qm[p]) == 0x69) {
            for (qsizetype m = start; m < end;) {
                const uchar tag = uchar(qm[m++]);
                if (tag == 1)
                    continue;
                seed.fields.push_back(m);
                m += 4 + (tag == 5 ? 0 : qsizetype(qFromBigEndian<quint32>(qm.constData() + m)) % (1 << 24));
            }
        }
        if (uchar(qm[p]) == 0x2f)
            for (qsizetype c = start; c + 2 <= end && c < start + 64; c += 2)
                seed.fields.push_back(c);
        p = start + qsizetype(length);
    }
    return seed;
}

// The table with a context table for the named contexts: buckets by hash, each list ended by
// an empty name, as Qt looks them up.
QByteArray WithContexts(const QByteArray &qm)
{
    constexpr quint16 kBuckets = 7;
    QList<QByteArray> lists(kBuckets);
    // Qt cannot list the empty context (an empty name ends a list), so only named ones.
    for (const char *name : kContexts)
        if (*name)
            lists[ElfHash(name) % kBuckets] += char(std::strlen(name)) + QByteArray(name);
    QByteArray pool(2, '\0'); // offset 0 means "no list"
    QByteArray table(2 + 2 * kBuckets, '\0');
    qToBigEndian(kBuckets, table.data());
    for (quint16 g = 0; g < kBuckets; ++g) {
        if (lists[g].isEmpty())
            continue;
        qToBigEndian(quint16(pool.size() / 2), table.data() + 2 + 2 * g);
        pool += lists[g] + char(0);
        if (pool.size() % 2)
            pool += char(0);
    }
    QByteArray block(5, '\0');
    block[0] = char(0x2f);
    Put32(block, 1, quint32(table.size() + pool.size()));
    return qm + block + table + pool;
}

QByteArray Mutate(const Seed &seed, Rng &rng)
{
    static const uchar bytes8[] = {0x00, 0x01, 0x02, 0x7f, 0x80, 0xfe, 0xff};
    QByteArray b = seed.bytes;
    const int steps = 1 + int(rng.Below(3));
    for (int step = 0; step < steps && !b.isEmpty(); ++step) {
        const qsizetype at = rng.Below(b.size());
        const qsizetype field = seed.fields.empty() ? at : seed.fields[size_t(rng.Below(qsizetype(seed.fields.size())))];
        switch (rng.Below(8)) {
        case 0:
            b[at] = char(b[at] ^ (1 << rng.Below(8)));
            break;
        case 1:
            b[at] = char(bytes8[rng.Below(sizeof bytes8)]);
            break;
        case 2: {
            const quint32 old = field + 4 <= b.size() ? qFromBigEndian<quint32>(b.constData() + field) : 0;
            const quint32 values[] = {0u, 1u, 2u, 3u, 8u, 0x7fffffffu, 0x80000000u, 0xfffffffeu, 0xffffffffu,
                                      quint32(b.size()), quint32(b.size() - field), old + 1, old - 1,
                                      old + quint32(rng.Below(64)), quint32(rng.Next())};
            Put32(b, field, values[rng.Below(std::size(values))]);
            break;
        }
        case 3: // one byte of a length or offset
            if (field + 4 <= b.size())
                b[field + rng.Below(4)] = char(rng.Next());
            break;
        case 4:
            b.truncate(rng.Below(b.size() + 1));
            break;
        case 5:
            b.remove(at, 1 + rng.Below(16));
            break;
        case 6: {
            QByteArray junk;
            for (qsizetype i = 1 + rng.Below(16); i > 0; --i)
                junk += char(rng.Next());
            b.insert(at, junk);
            break;
        }
        default: { // a piece of the table copied over another place
            const qsizetype from = rng.Below(b.size());
            const qsizetype length = qMin(1 + rng.Below(32), b.size() - qMax(from, at));
            if (length > 0)
                std::memmove(b.data() + at, b.constData() + from, size_t(length));
            break;
        }
        }
    }
    return b;
}

int Usage()
{
    std::fprintf(stderr, "usage: fuzz_stringtable [--runs N] [--first N] TABLE.qm...\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    long runs = 20000;
    long first = 0;
    std::vector<Seed> seeds;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if ((arg == "--runs" || arg == "--first") && i + 1 < argc) {
            (arg == "--runs" ? runs : first) = std::strtol(argv[++i], nullptr, 10);
            continue;
        }
        QFile f(QFile::decodeName(arg));
        if (!f.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return Usage();
        }
        const QByteArray qm = f.readAll();
        for (const QByteArray &table : {qm, WithContexts(qm)}) {
            QString error;
            if (!modStringTable::IsValidStringTable(table.constData(), table.size(), &error)) {
                std::fprintf(stderr, "%s%s is refused: %s\n", argv[i], table.size() == qm.size() ? "" : " with contexts",
                             qPrintable(error));
                return 1;
            }
            seeds.push_back(Describe(table));
        }
    }
    if (seeds.empty())
        return Usage();
    // After the sanitizers' report of any failure, a fault in Qt's code included.
    __sanitizer_set_death_callback(SayRun);

    for (const Seed &seed : seeds)
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(seed.bytes.constData()), size_t(seed.bytes.size()));
    long accepted = 0;
    for (long run = first; run < first + runs; ++run) {
        g_run = run;
        Rng rng(quint64(run) * 0x2545f4914f6cdd1dull + 1);
        const Seed &seed = seeds[size_t(rng.Below(qsizetype(seeds.size())))];
        const QByteArray mutant = Mutate(seed, rng);
        accepted += modStringTable::IsValidStringTable(mutant.constData(), mutant.size()) ? 1 : 0;
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(mutant.constData()), size_t(mutant.size()));
    }
    std::printf("%ld mutants of %zu tables, %ld accepted and looked up in, none read outside its table\n", runs,
                seeds.size(), accepted);
    return 0;
}

#endif
