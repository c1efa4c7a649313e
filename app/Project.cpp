// The program's entry: start the results service, open the main window, run
// until it closes.
#include <exception>

#include <QApplication>
#include <QIcon>
#include <QMessageBox>

#include "InProcessService.h"
#include "Unit1.h"
#include "WebEngineSetup.h"

namespace {

QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48}) icon.addFile(QStringLiteral(":/icons/quorvel-%1.png").arg(size), QSize(size, size));
    return icon;
}

}  // namespace

int main(int argc, char* argv[]) {
    quorvel::PrepareWebEngine();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    QApplication::setOrganizationName(QStringLiteral("Quorvel"));
    QApplication::setApplicationVersion(QStringLiteral("2.0.0.0"));
    QApplication::setDesktopFileName(QStringLiteral("quorvel"));
    QApplication::setWindowIcon(programIcon());

    quorvel::InProcessService service;
    QUrl homePageUrl(QStringLiteral(QUORVEL_HOME_PAGE_URL));
    const bool ownService = homePageUrl.isEmpty();
    if (ownService) {
        try {
            service.start(quorvel::InProcessService::defaultCatalog());
        } catch (const std::exception& e) {
            QMessageBox::critical(nullptr, QStringLiteral("Quorvel"),
                                  QStringLiteral("The results service could not start:\n%1").arg(QString::fromUtf8(e.what())));
            return 1;
        }
        homePageUrl = service.homePageUrl();
    }

    quorvel::TForm1 form(homePageUrl);
    if (ownService) {
        // The catalog opens while the window shows; the quick search waits
        // for it. Both signals come through the event loop, after these connects.
        form.catalogOpening();
        QObject::connect(&service, &quorvel::InProcessService::catalogOpened, &form, &quorvel::TForm1::catalogOpened);
        QObject::connect(&service, &quorvel::InProcessService::catalogFailed, &form, [&form](const QString& reason) {
            QMessageBox::critical(&form, QStringLiteral("Quorvel"),
                                  QStringLiteral("The catalog could not be opened:\n%1").arg(reason));
            QApplication::exit(1);
        });
    }
    form.show();
    const int status = QApplication::exec();
    service.stop();
    return status;
}
