#include "dialogparent.h"

#include "iqm6admincontrol.h"

#include <QWidget>

QWidget *DialogParent(IQM6AdminControl *page)
{
    if (!page)
        return nullptr;
    IQM6OleObject *object = nullptr;
    if (page->QueryInterface(IID_IQM6OleObject, reinterpret_cast<void **>(&object)) != S_OK || !object)
        return nullptr;
    QWidget *widget = object->Widget();
    object->Release();
    return widget ? widget->window() : nullptr;
}
