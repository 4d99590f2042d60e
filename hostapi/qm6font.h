// The console font that the host hands to its pages: a face, a size in points and a
// Windows character set, applied to widgets as a QFont.
#pragma once

#include "hostapi_export.h"

#include <QFont>
#include <QString>
#include <memory>

class QM6HOSTAPI_EXPORT QM6Font {
public:
    QM6Font() = default;
    QM6Font(QString name, double size, qint16 charset = 0) : m_name(std::move(name)), m_size(size), m_charset(charset) {}

    QString Name() const { return m_name; }
    void SetName(const QString &v) { m_name = v; }
    // Points, kept to four decimals as the automation currency type does.
    double Size() const { return m_size; }
    void SetSize(double v) { m_size = qRound64(v * 10000.0) / 10000.0; }
    qint16 Charset() const { return m_charset; }
    void SetCharset(qint16 v) { m_charset = v; }
    bool Bold() const { return m_bold; }
    void SetBold(bool v) { m_bold = v; }

    QFont ToQFont() const;
    static std::shared_ptr<QM6Font> FromQFont(const QFont &font, qint16 charset = 0);

private:
    QString m_name = QStringLiteral("MS Sans Serif");
    double m_size = 8.25;
    qint16 m_charset = 0;
    bool m_bold = false;
};

using QM6FontPtr = std::shared_ptr<QM6Font>;
