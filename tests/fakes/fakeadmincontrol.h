// A page as a form sees its caller: it hands over its connection and its widget (the window
// the form opens over), and answers everything else with nothing.
#pragma once

#include "iqm6admincontrol.h"

#include <QWidget>

class FakeAdminControl final : public QWidget, public IQM6AdminControl, public IQM6OleObject {
public:
    explicit FakeAdminControl(QM6ConnectionPtr connection) : mConnection(std::move(connection)) {}
    void SetConnection(QM6ConnectionPtr connection) { mConnection = std::move(connection); }

    HRESULT QueryInterface(const IID &riid, void **ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IQM6AdminControl)
            *ppv = static_cast<IQM6AdminControl *>(this);
        else if (riid == IID_IQM6OleObject)
            *ppv = static_cast<IQM6OleObject *>(this);
        else {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        return S_OK;
    }
    // Lives on the test's stack: reference counts do not own it.
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT GetTypeInfoCount(unsigned *pctinfo) override
    {
        if (pctinfo)
            *pctinfo = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(unsigned, unsigned, void **) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(const IID &, const char **, unsigned, unsigned, std::int32_t *) override { return E_NOTIMPL; }
    HRESULT Invoke(std::int32_t, const IID &, unsigned, std::uint16_t, void *, void *, void *, unsigned *) override { return E_NOTIMPL; }

    QString Name() override { return QStringLiteral("Printers"); }
    QString Caption() override { return Name(); }
    QPixmap NavGraphicLarge() override { return {}; }
    QPixmap NavGraphicSmall() override { return {}; }
    QM6ConnectionPtr Connection() override { return mConnection; }
    std::shared_ptr<QObject> License() override { return nullptr; }
    void SetConnectionAndLicense(QM6ConnectionPtr pinsData, std::shared_ptr<QObject>) override { mConnection = std::move(pinsData); }
    qint32 HelpContextId() override { return 0; }
    QString HelpFileName() override { return {}; }
    void SetHelpFileName(const QString &) override {}
    QM6ErrorPtr Save() override { return nullptr; }
    bool Visible() override { return isVisible(); }
    void SetVisible(const bool &RHS) override { setVisible(RHS); }
    qint32 Left() override { return 0; }
    void SetLeft(const qint32 &) override {}
    qint32 Top() override { return 0; }
    void SetTop(const qint32 &) override {}
    quintptr hWnd() override { return 0; }
    QM6FontPtr Font() override { return nullptr; }
    void SetFont(const QM6FontPtr &) override {}
    QM6Menus &CustomMenus() override { return mMenus; }
    QM6MenuItemPtr CurrentAddItem() override { return nullptr; }
    QM6MenuItems &AddItemMenus() override { return mItems; }
    void StandardAction(qint32) override {}
    void CustomAction(const QString &) override {}
    void AddItemClicked(const QString &) override {}
    void SetFocus() override {}
    void Refresh() override {}
    bool ControlDone() override { return true; }
    void Notification(QObject *, qint32, QVariant *) override {}

    void SetClientSite(QObject *) override {}
    QWidget *Widget() override { return this; }

private:
    QM6ConnectionPtr mConnection;
    QM6Menus mMenus;
    QM6MenuItems mItems;
};
