// Comma-separated values as RFC 4180 has them, in UTF-8: fields joined by commas, records
// ending in CR LF, a field in double quotes when it holds a comma, a quote (doubled inside),
// a line break or another control character. The reader names the line where each record
// starts and refuses a record it cannot read, without losing the records after it.
#pragma once

#include "qm6dataaccess_export.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class QM6DATA_EXPORT QM6Csv {
public:
    // One record, CR LF included. formulaSafe: a text that a spreadsheet would run as a
    // formula (starting with "=", "+", "-" or "@") gets a leading apostrophe, so that a list
    // opened in a spreadsheet shows it instead of running it.
    static QByteArray Record(const QStringList &fields, bool formulaSafe = false);
    static QByteArray Field(const QString &text, bool formulaSafe = false);

    // Reads records from data (the whole file; a leading UTF-8 byte order mark is skipped).
    // Lines with nothing on them are skipped.
    class QM6DATA_EXPORT Reader {
    public:
        explicit Reader(QByteArray data);
        struct Record {
            qint64 line = 0;      // where the record starts, from 1
            QStringList fields;
            QString error;        // why the record cannot be read; empty when it can
        };
        // false at the end of the data.
        bool Next(Record *record);

    private:
        void SkipToNextLine();
        QByteArray m_data;
        qsizetype m_pos = 0;
        qint64 m_line = 1;
    };
};
