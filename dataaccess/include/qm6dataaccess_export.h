#pragma once
#include <QtGlobal>
#if defined(QM6DATAACCESS_LIBRARY)
#define QM6DATA_EXPORT Q_DECL_EXPORT
#else
#define QM6DATA_EXPORT Q_DECL_IMPORT
#endif
