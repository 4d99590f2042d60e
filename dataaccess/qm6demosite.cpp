#include "qm6demosite.h"
#include "qm6sitegenerator.h"

QM6ErrorPtr QM6DemoSite::Fill(QM6Connection *connection)
{
    QM6SiteGenerator::Options o;
    o.printers = 60;
    o.aliasesPerPrinter = 0.4;
    o.seed = 1033;
    o.demo = true;
    return QM6SiteGenerator::Generate(connection, o);
}
