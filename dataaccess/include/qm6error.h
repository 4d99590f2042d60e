// The data component's error object. Every call that can fail returns a QM6ErrorPtr;
// an empty pointer means success.
#pragma once

#include "qm6dataaccess_export.h"

#include <QString>
#include <functional>
#include <memory>

class QM6DATA_EXPORT QM6Error {
public:
    // Severity 3: the caller may ignore the error (for instance an alias that is already gone).
    enum : qint32 { SeverityInformation = 1, SeverityWarning = 2, SeverityIgnorable = 3, SeverityError = 4 };
    // Numbers the data component gives its errors.
    enum : qint32 {
        ErrNoDatabase = 1001,   // the database cannot be opened or was lost
        ErrDatabase = 1002,     // a statement failed; the description carries the database's message
        ErrNotFound = 1003,     // a printer, alias or key does not exist
        ErrConflict = 1004,     // someone else changed the row since it was loaded
        ErrTooLong = 1005,      // a text is longer than its column
        ErrPermission = 1006,   // the user is unknown or lacks the permission
        ErrInvalid = 1007,      // an argument makes no sense (merging a printer into itself ...)
        ErrTransaction = 1008   // transaction bracket misuse or a commit that failed
    };

    QM6Error(QString description, qint32 number, qint32 severity = SeverityError)
        : m_description(std::move(description)), m_number(number), m_severity(severity) {}

    QString Description() const { return m_description; }
    qint32 Number() const { return m_number; }
    qint32 Severity() const { return m_severity; }

    // Shows the error to the user through the handler the host installed; with none,
    // writes the description to standard error.
    void Display() const;

    using DisplayHandler = std::function<void(const QM6Error &)>;
    static void SetDisplayHandler(DisplayHandler handler);

private:
    QString m_description;
    qint32 m_number;
    qint32 m_severity;
};

using QM6ErrorPtr = std::shared_ptr<QM6Error>;

inline QM6ErrorPtr MakeQM6Error(const QString &description, qint32 number, qint32 severity = QM6Error::SeverityError)
{
    return std::make_shared<QM6Error>(description, number, severity);
}
