#include "app/qt/UDisksOpener.h"

#include <unistd.h>

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QDBusVariant>
#include <QFileInfo>
#include <QVariantMap>

#include "disk/DeviceOpener.h"

namespace vantrel::qt {

namespace {

const QString kService = "org.freedesktop.UDisks2";
// The user may take a while over the authentication prompt.
constexpr int kPromptTimeoutMs = 5 * 60 * 1000;

bool ServiceMissing(const QDBusMessage& reply) {
  const QString name = reply.errorName();
  return name == "org.freedesktop.DBus.Error.ServiceUnknown" || name == "org.freedesktop.DBus.Error.NameHasNoOwner" ||
         name == "org.freedesktop.DBus.Error.Disconnected" || name == "org.freedesktop.DBus.Error.NotSupported";
}

std::string Reason(const QDBusMessage& reply) {
  if (ServiceMissing(reply)) return kDiskAccessHint;
  return reply.errorMessage().toStdString() + "; " + kDiskAccessHint;
}

// The service's object for the device: asked of its manager, else named after the device
// as the service names them (/dev/sdb is .../block_devices/sdb).
QString BlockObject(const QDBusConnection& bus, const QString& path, QDBusMessage* failure) {
  QDBusMessage resolve = QDBusMessage::createMethodCall(kService, "/org/freedesktop/UDisks2/Manager",
                                                        "org.freedesktop.UDisks2.Manager", "ResolveDevice");
  resolve << QVariantMap{{"path", path}} << QVariantMap{};
  const QDBusMessage reply = bus.call(resolve);
  if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
    const auto objects = qdbus_cast<QList<QDBusObjectPath>>(reply.arguments().first());
    if (!objects.isEmpty()) return objects.first().path();
  }
  if (reply.type() == QDBusMessage::ErrorMessage && ServiceMissing(reply)) {
    *failure = reply;
    return {};
  }
  QString name = QFileInfo(path).canonicalFilePath();
  if (name.isEmpty()) name = path;
  name = QFileInfo(name).fileName();
  name.replace('-', "_2d");  // the service's escaping of characters a path may not hold
  return "/org/freedesktop/UDisks2/block_devices/" + name;
}

}  // namespace

int OpenThroughUDisks(const QDBusConnection& bus, const std::string& path, std::string* why) {
  if (!bus.isConnected()) {
    *why = kDiskAccessHint;
    return -1;
  }
  QDBusMessage failure;
  const QString object = BlockObject(bus, QString::fromStdString(path), &failure);
  if (object.isEmpty()) {
    *why = Reason(failure);
    return -1;
  }
  QDBusMessage open =
      QDBusMessage::createMethodCall(kService, object, "org.freedesktop.UDisks2.Block", "OpenForBackup");
  open << QVariantMap{};
  open.setInteractiveAuthorizationAllowed(true);
  const QDBusMessage reply = bus.call(open, QDBus::Block, kPromptTimeoutMs);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
    *why = Reason(reply);
    return -1;
  }
  const auto descriptor = qdbus_cast<QDBusUnixFileDescriptor>(reply.arguments().first());
  // The message's copy is closed with it: keep one of our own.
  const int fd = descriptor.isValid() ? ::dup(descriptor.fileDescriptor()) : -1;
  if (fd < 0) *why = std::string("the disk service gave no descriptor; ") + kDiskAccessHint;
  return fd;
}

void InstallUDisksOpener() {
  SetDeviceOpener([](const std::string& path, std::string* why) {
    return OpenThroughUDisks(QDBusConnection::systemBus(), path, why);
  });
}

}  // namespace vantrel::qt
