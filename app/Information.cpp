#include "app/Information.h"

#include "app/Version.h"

Information::Information(QWidget *parent, Qt::WindowFlags flags)
    : QDialog(parent, flags)
{
    setupUi(this);
    labelVersion->setText(QDialog::tr("Vt520 ver. ") + QLatin1String(Vt520VersionText));
}
