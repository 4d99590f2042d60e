#include "qm6error.h"

#include <QMutex>
#include <cstdio>

namespace {
QMutex handlerMutex;
QM6Error::DisplayHandler &handler()
{
    static QM6Error::DisplayHandler h;
    return h;
}
}

void QM6Error::Display() const
{
    DisplayHandler h;
    {
        QMutexLocker lock(&handlerMutex);
        h = handler();
    }
    if (h) {
        h(*this);
        return;
    }
    std::fprintf(stderr, "%s\n", m_description.toLocal8Bit().constData());
}

void QM6Error::SetDisplayHandler(DisplayHandler h)
{
    QMutexLocker lock(&handlerMutex);
    handler() = std::move(h);
}
