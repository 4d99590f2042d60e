#include "qm6csv.h"
#include "qm6texts.h"

#include <QStringDecoder>

namespace {

bool needsQuotes(const QString &text)
{
    for (const QChar ch : text)
        if (ch == QLatin1Char(',') || ch == QLatin1Char('"') || ch.unicode() < 0x20 || ch.unicode() == 0x7f)
            return true;
    return false;
}

bool isFormulaStart(const QString &text)
{
    if (text.isEmpty())
        return false;
    const QChar first = text.front();
    return first == QLatin1Char('=') || first == QLatin1Char('+') || first == QLatin1Char('-') || first == QLatin1Char('@');
}

} // namespace

QByteArray QM6Csv::Field(const QString &text, bool formulaSafe)
{
    const QString shown = formulaSafe && isFormulaStart(text) ? QLatin1Char('\'') + text : text;
    if (!needsQuotes(shown))
        return shown.toUtf8();
    QByteArray out;
    out.reserve(shown.size() + 8);
    out += '"';
    out += shown.toUtf8().replace('"', "\"\"");
    out += '"';
    return out;
}

QByteArray QM6Csv::Record(const QStringList &fields, bool formulaSafe)
{
    QByteArray out;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i)
            out += ',';
        out += Field(fields[i], formulaSafe);
    }
    out += "\r\n";
    return out;
}

QM6Csv::Reader::Reader(QByteArray data) : m_data(std::move(data))
{
    if (m_data.startsWith("\xEF\xBB\xBF"))
        m_pos = 3;
}

void QM6Csv::Reader::SkipToNextLine()
{
    const qsizetype n = m_data.indexOf('\n', m_pos);
    m_pos = n < 0 ? m_data.size() : n + 1;
    if (n >= 0)
        ++m_line;
}

bool QM6Csv::Reader::Next(Record *record)
{
    const char *data = m_data.constData();
    const qsizetype size = m_data.size();
    // Lines with nothing on them carry no record.
    while (m_pos < size && (data[m_pos] == '\n' || (data[m_pos] == '\r' && m_pos + 1 < size && data[m_pos + 1] == '\n'))) {
        m_pos += data[m_pos] == '\r' ? 2 : 1;
        ++m_line;
    }
    if (m_pos >= size)
        return false;
    record->line = m_line;
    record->fields.clear();
    record->error.clear();
    QByteArray field;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    bool badText = false;
    auto finishField = [&] {
        QString text = utf8.decode(field);
        badText = badText || utf8.hasError();
        record->fields << text;
        field.clear();
    };
    auto refuse = [&](const QString &why) {
        record->error = why;
        record->fields.clear();
        SkipToNextLine();
        return true;
    };
    for (;;) {
        // One field: quoted or plain, up to a comma, the end of the line or the end of the data.
        if (m_pos < size && data[m_pos] == '"') {
            const qint64 opened = m_line;
            ++m_pos;
            for (;;) {
                if (m_pos >= size)
                    return refuse(QM6Texts::tr("the quoted field that starts on line %1 is not closed: a quote is missing").arg(opened));
                const char c = data[m_pos];
                if (c == '"') {
                    if (m_pos + 1 < size && data[m_pos + 1] == '"') {
                        field += '"';
                        m_pos += 2;
                        continue;
                    }
                    ++m_pos;
                    break;
                }
                if (c == '\n')
                    ++m_line;
                field += c;
                ++m_pos;
            }
            const bool endsHere = m_pos >= size || data[m_pos] == ',' || data[m_pos] == '\n' ||
                                  (data[m_pos] == '\r' && m_pos + 1 < size && data[m_pos + 1] == '\n');
            if (!endsHere)
                return refuse(QM6Texts::tr("a quoted field is followed by other text before the next comma (a quote inside a "
                                           "quoted field must be doubled)"));
        } else {
            while (m_pos < size && data[m_pos] != ',' && data[m_pos] != '\n') {
                const char c = data[m_pos];
                if (c == '\r' && m_pos + 1 < size && data[m_pos + 1] == '\n')
                    break;
                if (c == '"')
                    return refuse(QM6Texts::tr("a field that does not start with a quote has a quote in it (quote the whole "
                                               "field and double the quote)"));
                if (c == '\r')
                    return refuse(QM6Texts::tr("a field that is not quoted has a line break in it"));
                field += c;
                ++m_pos;
            }
        }
        finishField();
        if (m_pos >= size)
            break;
        if (data[m_pos] == ',') {
            ++m_pos;
            continue;
        }
        m_pos += data[m_pos] == '\r' ? 2 : 1;   // the record's line break
        ++m_line;
        break;
    }
    if (badText) {
        record->fields.clear();
        record->error = QM6Texts::tr("it is not valid UTF-8 text");
    }
    return true;
}
