// One QApplication for every test of the window; offscreen unless a platform is chosen.
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // The offscreen screen as a common desktop's, and windows with frames, so that the window's
    // size and placement meet what they meet on a desktop.
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen") {
        const QByteArray config = QDir::tempPath().toUtf8() + "/tolvane-offscreen-" +
                                  QByteArray::number(static_cast<qlonglong>(::getpid())) + ".json";
        QFile file(QString::fromUtf8(config));
        if (file.open(QIODevice::WriteOnly)) {
            file.write(R"({"windowFrameMargins": true, "screens": [{"name": "screen",
                "x": 0, "y": 0, "width": 1920, "height": 1080,
                "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
            file.close();
            qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config);
        }
    }
    // A private runtime folder keeps Qt quiet where the session has none (CI, root shells).
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QByteArray dir = QDir::tempPath().toUtf8() + "/tolvane-runtime-" +
                               QByteArray::number(static_cast<qulonglong>(::getuid()));
        ::mkdir(dir.constData(), 0700);
        qputenv("XDG_RUNTIME_DIR", dir);
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    if (qgetenv("QT_QPA_PLATFORM").startsWith("offscreen:configfile=")) {
        QFile::remove(QString::fromUtf8(qgetenv("QT_QPA_PLATFORM").mid(21)));
    }
    return result;
}
