#pragma once
#include <QtGlobal>
#if defined(QM6HOSTAPI_LIBRARY)
#define QM6HOSTAPI_EXPORT Q_DECL_EXPORT
#else
#define QM6HOSTAPI_EXPORT Q_DECL_IMPORT
#endif
