// The host common library's menu objects and the keyed collection that holds them.
#pragma once

#include "hostapi_export.h"

#include <QList>
#include <QPixmap>
#include <QString>
#include <memory>

template <typename T>
class QM6Collection {
public:
    using Ptr = std::shared_ptr<T>;
    // A duplicate non-empty key is refused (false), as a keyed collection does.
    bool Add(const Ptr &item, const QString &key = QString())
    {
        if (!key.isEmpty() && Item(key))
            return false;
        m_items.append({item, key});
        return true;
    }
    qsizetype Count() const { return m_items.size(); }
    // 1-based, as the host's collections are; nullptr when out of range.
    Ptr Item(qsizetype index) const { return index >= 1 && index <= m_items.size() ? m_items[index - 1].item : Ptr(); }
    Ptr Item(const QString &key) const
    {
        for (const auto &e : m_items)
            if (!key.isEmpty() && e.key == key)
                return e.item;
        return Ptr();
    }
    QString Key(qsizetype index) const { return index >= 1 && index <= m_items.size() ? m_items[index - 1].key : QString(); }
    void Clear() { m_items.clear(); }

private:
    struct Entry { Ptr item; QString key; };
    QList<Entry> m_items;
};

class QM6HOSTAPI_EXPORT QM6MenuItem {
public:
    QString ActionId() const { return m_actionId; }
    void SetActionId(const QString &v) { m_actionId = v; }
    QString Caption() const { return m_caption; }
    void SetCaption(const QString &v) { m_caption = v; }
    QPixmap Picture() const { return m_picture; }
    void SetPicture(const QPixmap &v) { m_picture = v; }

private:
    QString m_actionId, m_caption;
    QPixmap m_picture;
};

class QM6HOSTAPI_EXPORT QM6Menu {
public:
    QString ActionId() const { return m_actionId; }
    void SetActionId(const QString &v) { m_actionId = v; }
    QString Caption() const { return m_caption; }
    void SetCaption(const QString &v) { m_caption = v; }
    QM6Collection<QM6MenuItem> &Items() { return m_items; }
    const QM6Collection<QM6MenuItem> &Items() const { return m_items; }

private:
    QString m_actionId, m_caption;
    QM6Collection<QM6MenuItem> m_items;
};

using QM6MenuItemPtr = std::shared_ptr<QM6MenuItem>;
using QM6MenuPtr = std::shared_ptr<QM6Menu>;
using QM6MenuItems = QM6Collection<QM6MenuItem>;
using QM6Menus = QM6Collection<QM6Menu>;
