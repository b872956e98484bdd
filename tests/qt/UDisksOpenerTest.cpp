// The window reaches a block device it may not open through UDisks2: tested against a mock
// of the service on a private message bus (a dbus-daemon of the test's own).

#include "app/qt/UDisksOpener.h"

#include <unistd.h>

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <QVariantMap>
#include <gtest/gtest.h>

#include <fstream>

#include "disk/DeviceOpener.h"
#include "support/TempDir.h"

namespace vantrel::test {

class MockUDisksManager : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.UDisks2.Manager")

 public slots:
  QList<QDBusObjectPath> ResolveDevice(const QVariantMap& device, const QVariantMap&) {
    if (device.value("path").toString() == "/dev/mockdisk")
      return {QDBusObjectPath("/org/freedesktop/UDisks2/block_devices/mockdisk")};
    return {};
  }
};

class MockUDisksBlock : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.UDisks2.Block")

 public:
  MockUDisksBlock(std::string image, bool authorized) : image_(std::move(image)), authorized_(authorized) {}
  bool askedInteractively = false;

 public slots:
  QDBusUnixFileDescriptor OpenForBackup(const QVariantMap&) {
    askedInteractively = message().isInteractiveAuthorizationAllowed();
    if (!authorized_) {
      sendErrorReply("org.freedesktop.UDisks2.Error.NotAuthorizedDismissed", "The authentication dialog was dismissed");
      return {};
    }
    QFile file(QString::fromStdString(image_));
    file.open(QIODevice::ReadOnly);
    return QDBusUnixFileDescriptor(file.handle());  // the descriptor is copied
  }

 private:
  std::string image_;
  bool authorized_;
};

namespace {

class UDisksOpenerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (QStandardPaths::findExecutable("dbus-daemon").isEmpty()) GTEST_SKIP() << "dbus-daemon is not installed";
    daemon_.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
    ASSERT_TRUE(daemon_.waitForReadyRead(10000));
    address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    image_ = (temp_ / "disk.img").string();
    std::ofstream(image_) << std::string(1024, 'D') << std::string(1024, 'E');
  }
  void TearDown() override {
    if (serviceThread_.isRunning()) {
      serviceThread_.quit();
      serviceThread_.wait();
    }
    QDBusConnection::disconnectFromBus("udisks-mock");
    QDBusConnection::disconnectFromBus("udisks-client");
    daemon_.kill();
    daemon_.waitForFinished();
  }

  // The mock service, answering on a thread of its own while the test blocks in its call.
  void StartService() {
    QDBusConnection service = QDBusConnection::connectToBus(address_, "udisks-mock");
    ASSERT_TRUE(service.isConnected());
    for (QObject* object : {static_cast<QObject*>(&manager_), static_cast<QObject*>(&block_),
                            static_cast<QObject*>(&refusing_)})
      object->moveToThread(&serviceThread_);
    serviceThread_.start();
    ASSERT_TRUE(service.registerObject("/org/freedesktop/UDisks2/Manager", &manager_, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(service.registerObject("/org/freedesktop/UDisks2/block_devices/mockdisk", &block_,
                                       QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(service.registerObject("/org/freedesktop/UDisks2/block_devices/sdz", &refusing_,
                                       QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(service.registerService("org.freedesktop.UDisks2"));
  }

  QDBusConnection Client() { return QDBusConnection::connectToBus(address_, "udisks-client"); }

  TempDir temp_;
  QProcess daemon_;
  QString address_;
  std::string image_;
  QThread serviceThread_;
  MockUDisksManager manager_;
  MockUDisksBlock block_{(temp_ / "disk.img").string(), true};
  MockUDisksBlock refusing_{(temp_ / "disk.img").string(), false};
};

TEST_F(UDisksOpenerTest, WithoutTheServiceTheReasonSaysHowToGetAccess) {
  std::string why;
  EXPECT_EQ(qt::OpenThroughUDisks(Client(), "/dev/mockdisk", &why), -1);
  EXPECT_EQ(why, kDiskAccessHint);
  EXPECT_EQ(qt::OpenThroughUDisks(QDBusConnection("not-connected"), "/dev/mockdisk", &why), -1);
  EXPECT_EQ(why, kDiskAccessHint);
}

TEST_F(UDisksOpenerTest, TheServicesDescriptorReadsTheDeviceAfterAnInteractivePrompt) {
  StartService();
  std::string why;
  const int fd = qt::OpenThroughUDisks(Client(), "/dev/mockdisk", &why);
  ASSERT_GE(fd, 0) << why;
  char bytes[4] = {};
  EXPECT_EQ(::pread(fd, bytes, sizeof bytes, 1022), 4);
  EXPECT_EQ(std::string(bytes, 4), "DDEE");
  ::close(fd);
  EXPECT_TRUE(block_.askedInteractively);
}

TEST_F(UDisksOpenerTest, ARefusalIsReportedWithTheWayToGetAccess) {
  StartService();
  std::string why;
  // The manager does not know /dev/sdz: its object is found by the device's name.
  EXPECT_EQ(qt::OpenThroughUDisks(Client(), "/dev/sdz", &why), -1);
  EXPECT_NE(why.find("dismissed"), std::string::npos) << why;
  EXPECT_NE(why.find(kDiskAccessHint), std::string::npos) << why;
}

}  // namespace
}  // namespace vantrel::test

#include "UDisksOpenerTest.moc"
