// The fields of a QM6Printer, as the component's SQL reads and writes them.
#pragma once

#include "qm6printer.h"

struct QM6PrinterRecord {
    qint32 m_printerId = -1;
    QString m_printerKey;
    QString m_name, m_device, m_host, m_port, m_model, m_location, m_serialNo, m_accountNo;
    qint32 m_connectionType = 0;
    qint32 m_deviceType = 0;
    qint32 m_printProfileId = 0;
    bool m_isColor = false, m_isDuplex = false, m_popEarly = false, m_disableColorMode = false, m_autoMerge = false;
    QM6AutoMergeRule m_rule;
    QString m_modifiedBy;
    QDateTime m_modifiedOn;
    qint32 m_bwTotal = 0, m_colorTotal = 0;
    qint64 m_rowVersion = 0;   // the version loaded; a save over a newer one is refused
    QString m_storedName;      // the name as loaded or last saved, for messages about the stored printer
};
