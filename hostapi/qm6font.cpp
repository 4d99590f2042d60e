#include "qm6font.h"

QFont QM6Font::ToQFont() const
{
    QFont f(m_name);
    if (m_size > 0)
        f.setPointSizeF(m_size);
    f.setBold(m_bold);
    return f;
}

std::shared_ptr<QM6Font> QM6Font::FromQFont(const QFont &font, qint16 charset)
{
    auto f = std::make_shared<QM6Font>(font.family(), font.pointSizeF() > 0 ? font.pointSizeF() : 8.25, charset);
    f->SetBold(font.bold());
    return f;
}
