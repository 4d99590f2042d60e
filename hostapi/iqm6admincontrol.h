// The interface through which the console drives a page plug-in, in slot order, and the
// hosting interface through which it places the page's widget in its window.
#pragma once

#include "comabi.h"
#include "qm6connection.h"
#include "qm6error.h"
#include "qm6font.h"
#include "qm6menu.h"

#include <QObject>
#include <QPixmap>
#include <QVariant>
#include <memory>

class QWidget;

// {7FE3DD6C-FBBD-4C79-8AEC-E69B5710EB1F}
inline constexpr IID IID_IQM6AdminControl = {0x7FE3DD6C, 0xFBBD, 0x4C79, {0x8A, 0xEC, 0xE6, 0x9B, 0x57, 0x10, 0xEB, 0x1F}};

enum QM6StandardAction : qint32 { QM6_ACTION_ADD = 1, QM6_ACTION_EDIT = 2, QM6_ACTION_DELETE = 4, QM6_ACTION_REFRESH = 10 };

struct IQM6AdminControl : IDispatch {
    virtual QString Name() = 0;                                                       // 1
    virtual QString Caption() = 0;                                                    // 2
    virtual QPixmap NavGraphicLarge() = 0;                                            // 3
    virtual QPixmap NavGraphicSmall() = 0;                                            // 4
    virtual QM6ConnectionPtr Connection() = 0;                                        // 5
    virtual std::shared_ptr<QObject> License() = 0;                                   // 6
    virtual void SetConnectionAndLicense(QM6ConnectionPtr pinsData, std::shared_ptr<QObject> pinsLicense) = 0;  // 7
    virtual qint32 HelpContextId() = 0;                                               // 8
    virtual QString HelpFileName() = 0;                                               // 9
    virtual void SetHelpFileName(const QString &RHS) = 0;                             // 10
    virtual QM6ErrorPtr Save() = 0;                                                   // 11
    virtual bool Visible() = 0;                                                       // 12
    virtual void SetVisible(const bool &RHS) = 0;                                     // 13
    virtual qint32 Left() = 0;                                                        // 14
    virtual void SetLeft(const qint32 &RHS) = 0;                                      // 15
    virtual qint32 Top() = 0;                                                         // 16
    virtual void SetTop(const qint32 &RHS) = 0;                                       // 17
    virtual quintptr hWnd() = 0;                                                      // 18
    virtual QM6FontPtr Font() = 0;                                                    // 19
    virtual void SetFont(const QM6FontPtr &pinsFont) = 0;                             // 20
    virtual QM6Menus &CustomMenus() = 0;                                              // 21
    virtual QM6MenuItemPtr CurrentAddItem() = 0;                                      // 22
    virtual QM6MenuItems &AddItemMenus() = 0;                                         // 23
    virtual void StandardAction(qint32 pintAction) = 0;                               // 24
    virtual void CustomAction(const QString &pstrActionId) = 0;                       // 25
    virtual void AddItemClicked(const QString &pstrActionId) = 0;                     // 26
    virtual void SetFocus() = 0;                                                      // 27
    virtual void Refresh() = 0;                                                       // 28
    virtual bool ControlDone() = 0;                                                   // 29
    virtual void Notification(QObject *pinsNotifier, qint32 pintNotificationType, QVariant *pvntChangedValue = nullptr) = 0;  // 30

protected:
    ~IQM6AdminControl() = default;
};

// {5C0E2B61-7A7D-4E1B-9D7E-3A1F6B2C9E01}: what an embedded control offers its container.
inline constexpr IID IID_IQM6OleObject = {0x5C0E2B61, 0x7A7D, 0x4E1B, {0x9D, 0x7E, 0x3A, 0x1F, 0x6B, 0x2C, 0x9E, 0x01}};

struct IQM6OleObject : IUnknown {
    // The container's extender object for this control: a QObject with the properties
    // "Visible", "Left", "Top" (twips) and "Parent" (the console object, which offers the
    // invokable SetToolbar(QVariant, bool) and the properties ToolbarRedraw and Enabled).
    virtual void SetClientSite(QObject *extender) = 0;
    // The control's widget, to be placed into the container's window.
    virtual QWidget *Widget() = 0;

protected:
    ~IQM6OleObject() = default;
};

// Registration of page plug-ins in the registry store (under HKEY_LOCAL_MACHINE):
//   Software\Classes\CLSID\{clsid}                     (default) = ProgID
//   Software\Classes\CLSID\{clsid}\InprocServer32      (default) = absolute library path
//   Software\Classes\CLSID\{clsid}\ProgID              (default) = ProgID
//   Software\Classes\CLSID\{clsid}\TypeLib             (default) = {libid}
//   Software\Classes\CLSID\{clsid}\Implemented Categories\{CATID_QM6AdminPage}
//   Software\Classes\<ProgID>\CLSID                    (default) = {clsid}
//   Software\Classes\TypeLib\{libid}\1.0               (default) = help string
//   Software\Classes\TypeLib\{libid}\1.0\0\win32       (default) = library path
// {E3A2B6C4-5D71-4A8F-B0C9-2F6E8D1A7B35}
inline constexpr GUID CATID_QM6AdminPage = {0xE3A2B6C4, 0x5D71, 0x4A8F, {0xB0, 0xC9, 0x2F, 0x6E, 0x8D, 0x1A, 0x7B, 0x35}};
inline constexpr quint32 QM6_REGISTRATION_ROOT = 0x80000002u;   // HKEY_LOCAL_MACHINE
inline constexpr char QM6_CLASSES_KEY[] = "Software\\Classes";
inline QString QM6ClassesKey(const QString &sub) { return QString::fromLatin1(QM6_CLASSES_KEY) + QLatin1Char('\\') + sub; }
