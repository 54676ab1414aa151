#include "writer/userfacing.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QTextStream>
#include <QUrl>

namespace kestrova::writer {

void BoxNotifier::showError(const QString& message)
{
    //: Title of the writer's error boxes.
    auto* box =
        new QMessageBox(QMessageBox::Critical, QCoreApplication::translate("writer::Notifier", "Kestrova writer"),
                        message, QMessageBox::Ok);
    box->setObjectName(QStringLiteral("WriterErrorBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
    box->raise();
    box->activateWindow();
}

void ConsoleNotifier::showError(const QString& message)
{
    QTextStream(stderr) << "Kestrova writer: " << message << '\n';
}

bool DesktopViewer::open(const QString& file)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

} // namespace kestrova::writer
