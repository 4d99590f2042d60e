#include "commonservices.h"

#include <QTextStream>
#include <cstdio>

ICommonServices::~ICommonServices() = default;

namespace {

// Used when no host installed its own: a page still works from a command line or a test.
class PlainCommonServices final : public ICommonServices {
public:
    QString GetAppTitle() override { return QStringLiteral("Quillmark 6 Administrator"); }
    void ShowMessage(const QString &text, qint32) override { std::fprintf(stderr, "%s\n", qPrintable(text)); }
    void AskYesNo(const QString &text, qint32, qint32 &answer) override
    {
        std::fprintf(stderr, "%s [answered no]\n", qPrintable(text));
        answer = QM6_ANSWER_NO;
    }
    void ShowTip(const QString &text, const QString &, const QString &, qint32, const QString &, qint32, qint32 &result) override
    {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        result = 0;
    }
    QPixmap TipPicture() override { return QPixmap(); }
};

std::function<std::unique_ptr<ICommonServices>()> &factory()
{
    static std::function<std::unique_ptr<ICommonServices>()> f;
    return f;
}

thread_local std::unique_ptr<ICommonServices> t_services;

} // namespace

ICommonServices &CommonServices()
{
    if (!t_services) {
        if (factory())
            t_services = factory()();
        if (!t_services)
            t_services = std::make_unique<PlainCommonServices>();
    }
    return *t_services;
}

void SetCommonServicesFactory(std::function<std::unique_ptr<ICommonServices>()> f)
{
    factory() = std::move(f);
}

void SetCommonServices(std::unique_ptr<ICommonServices> services)
{
    t_services = std::move(services);
}
