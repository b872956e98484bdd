#include "mount/FuseServer.h"

#include <fuse_lowlevel.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <csignal>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <limits>
#include <vector>

namespace vantrel::mount {

namespace {

// Nothing on the mount ever changes: the kernel may keep names and attributes at will.
constexpr double kForever = 24.0 * 3600;
constexpr std::size_t kMostRead = std::size_t{1} << 20;

constexpr const char* kStateAttribute = "user.vantrel.state";
constexpr const char* kObjectAttribute = "user.vantrel.objectId";
constexpr const char* kDirAttribute = "user.vantrel.dirId";
constexpr const char* kDamagedAttribute = "user.vantrel.damaged";

MountedVolume& VolumeOf(fuse_req_t request) {
  return static_cast<FuseMount::Served*>(fuse_req_userdata(request))->volume;
}
PageCacheFill& FillOf(fuse_req_t request) { return static_cast<FuseMount::Served*>(fuse_req_userdata(request))->fill; }

mode_t TypeOf(const MountNode& node) {
  switch (node.kind) {
    case NodeKind::Folder: return S_IFDIR;
    case NodeKind::Symlink: return S_IFLNK;
    case NodeKind::Special: return node.typeBits;
    case NodeKind::File: break;
  }
  return S_IFREG;
}

struct stat AttributesOf(MountedVolume& volume, NodeId id, const MountNode& node) {
  struct stat st {};
  st.st_ino = id;
  switch (node.kind) {
    case NodeKind::Folder:
      st.st_mode = S_IFDIR | node.permissions;
      st.st_nlink = 2 + node.subfolders;
      break;
    case NodeKind::File:
      st.st_mode = S_IFREG | node.permissions;
      st.st_nlink = node.links;
      break;
    case NodeKind::Symlink:
      st.st_mode = S_IFLNK | 0777;
      st.st_nlink = node.links;
      break;
    case NodeKind::Special:
      st.st_mode = node.typeBits | node.permissions;
      st.st_nlink = node.links;
      if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))
        st.st_rdev = makedev(DeviceMajor(node.details.rdev), DeviceMinor(node.details.rdev));
      break;
  }
  // A size from a damaged stat data may be beyond what a file offset can say.
  constexpr std::uint64_t kMostSize = std::numeric_limits<off_t>::max();
  const bool sized = node.kind == NodeKind::File || node.kind == NodeKind::Symlink;
  st.st_size = sized ? static_cast<off_t>(std::min(volume.SizeOf(id), kMostSize)) : 0;
  st.st_uid = node.details.uid;
  st.st_gid = node.details.gid;
  st.st_blksize = static_cast<blksize_t>(volume.BlockSize() ? volume.BlockSize() : 4096);
  st.st_blocks = st.st_size / 512 + (st.st_size % 512 != 0);
  st.st_atim.tv_sec = st.st_mtim.tv_sec = st.st_ctim.tv_sec = node.modificationTime;
  if (node.details.accessTime != 0) st.st_atim.tv_sec = node.details.accessTime;
  if (node.details.changeTime != 0) st.st_ctim.tv_sec = node.details.changeTime;
  return st;
}

fuse_entry_param EntryOf(MountedVolume& volume, NodeId id, const MountNode& node) {
  fuse_entry_param entry{};
  entry.ino = id;
  entry.generation = 1;
  entry.attr = AttributesOf(volume, id, node);
  entry.attr_timeout = kForever;
  entry.entry_timeout = kForever;
  return entry;
}

void Lookup(fuse_req_t request, fuse_ino_t parent, const char* name) {
  MountedVolume& volume = VolumeOf(request);
  const auto id = volume.Tree().Lookup(parent, name);
  if (!id) {
    // Remember the absence as long as the presence: the tree never changes.
    fuse_entry_param none{};
    none.entry_timeout = kForever;
    fuse_reply_entry(request, &none);
    return;
  }
  const fuse_entry_param entry = EntryOf(volume, *id, *volume.Tree().Node(*id));
  fuse_reply_entry(request, &entry);
}

void GetAttributes(fuse_req_t request, fuse_ino_t ino, fuse_file_info*) {
  MountedVolume& volume = VolumeOf(request);
  const MountNode* node = volume.Tree().Node(ino);
  if (node == nullptr) {
    fuse_reply_err(request, ENOENT);
    return;
  }
  const struct stat st = AttributesOf(volume, ino, *node);
  fuse_reply_attr(request, &st, kForever);
}

void ReadLink(fuse_req_t request, fuse_ino_t ino) {
  MountedVolume& volume = VolumeOf(request);
  const MountNode* node = volume.Tree().Node(ino);
  if (node == nullptr || node->kind != NodeKind::Symlink) {
    fuse_reply_err(request, EINVAL);
    return;
  }
  const auto target = volume.LinkTarget(ino);
  if (!target) {
    fuse_reply_err(request, EIO);
    return;
  }
  fuse_reply_readlink(request, target->c_str());
}

// Where the kernel allows it, opens are refused with ENOSYS: it then opens every file and
// folder itself, with their pages and listings kept (no open or release message per file).
// The mount is read-only, so the kernel refuses writing opens before they reach us.
std::atomic<bool> kernelOpensFiles{false};
std::atomic<bool> kernelOpensFolders{false};

void Open(fuse_req_t request, fuse_ino_t, fuse_file_info* info) {
  if (kernelOpensFiles) {
    fuse_reply_err(request, ENOSYS);
    return;
  }
  info->keep_cache = 1;  // the content never changes
  fuse_reply_open(request, info);
}

void OpenFolder(fuse_req_t request, fuse_ino_t, fuse_file_info* info) {
  if (kernelOpensFolders) {
    fuse_reply_err(request, ENOSYS);
    return;
  }
  info->keep_cache = 1;
  info->cache_readdir = 1;
  fuse_reply_open(request, info);
}

// Directory offsets: 1 and 2 follow "." and "..", 2 + k + 1 follows entry k.
void ReadFolder(fuse_req_t request, fuse_ino_t ino, size_t size, off_t offset, fuse_file_info*, bool plus) {
  MountedVolume& volume = VolumeOf(request);
  const MountNode* node = volume.Tree().Node(ino);
  if (node == nullptr || node->kind != NodeKind::Folder) {
    fuse_reply_err(request, ENOTDIR);
    return;
  }
  std::vector<char> buffer(std::min<size_t>(size, kMostRead));
  std::vector<NodeId> listed;
  std::size_t used = 0;
  const auto total = static_cast<off_t>(node->entries.size()) + 2;
  for (off_t at = offset; at < total; ++at) {
    const bool dots = at < 2;
    const NodeId id = at == 0 ? ino : at == 1 ? node->parent : node->entries[static_cast<std::size_t>(at - 2)].node;
    const char* name = at == 0 ? "." : at == 1 ? ".." : node->entries[static_cast<std::size_t>(at - 2)].name.c_str();
    const MountNode& target = *volume.Tree().Node(id);
    std::size_t needed;
    if (plus) {
      fuse_entry_param entry{};
      if (dots) {
        entry.attr = AttributesOf(volume, id, target);  // not looked up: attributes only
      } else {
        entry = EntryOf(volume, id, target);
      }
      needed = fuse_add_direntry_plus(request, buffer.data() + used, buffer.size() - used, name, &entry, at + 1);
    } else {
      struct stat st {};
      st.st_ino = id;
      st.st_mode = TypeOf(target);
      needed = fuse_add_direntry(request, buffer.data() + used, buffer.size() - used, name, &st, at + 1);
    }
    if (needed > buffer.size() - used) break;
    used += needed;
    if (plus && !dots) listed.push_back(id);
  }
  PageCacheFill& fill = FillOf(request);  // the request is gone once answered
  fuse_reply_buf(request, buffer.data(), used);
  // The kernel knows these inodes now: their contents may go to its cache ahead of reads.
  fill.Offer(listed);
}

void ReadFolderPlain(fuse_req_t request, fuse_ino_t ino, size_t size, off_t offset, fuse_file_info* info) {
  ReadFolder(request, ino, size, offset, info, false);
}

void ReadFolderPlus(fuse_req_t request, fuse_ino_t ino, size_t size, off_t offset, fuse_file_info* info) {
  ReadFolder(request, ino, size, offset, info, true);
}

void Read(fuse_req_t request, fuse_ino_t ino, size_t size, off_t offset, fuse_file_info*) {
  static thread_local std::vector<std::byte> buffer;
  buffer.resize(std::min(size, kMostRead));
  const VolumeRead read = VolumeOf(request).Read(ino, static_cast<std::uint64_t>(offset), buffer);
  FillOf(request).Served(ino);
  if (read.error != 0)
    fuse_reply_err(request, read.error);
  else
    fuse_reply_buf(request, reinterpret_cast<const char*>(buffer.data()), read.length);
}

// The extended attributes of a node, names and values.
std::vector<std::pair<std::string, std::string>> AttributesList(MountedVolume& volume, NodeId id) {
  const MountNode* node = volume.Tree().Node(id);
  std::vector<std::pair<std::string, std::string>> list;
  if (node == nullptr) return list;
  list.emplace_back(kStateAttribute, EntryStateText(node->state));
  list.emplace_back(kObjectAttribute, std::to_string(node->objectId));
  list.emplace_back(kDirAttribute, std::to_string(node->dirId));
  if (node->kind != NodeKind::Folder && volume.Damaged(id)) list.emplace_back(kDamagedAttribute, "1");
  for (ExtendedAttribute& attribute : volume.ExtendedAttributes(id).attributes) {
    const auto* bytes = reinterpret_cast<const char*>(attribute.value.data());
    list.emplace_back(std::move(attribute.name), std::string(bytes, attribute.value.size()));
  }
  return list;
}

void ReplyValue(fuse_req_t request, const std::string& value, size_t size) {
  if (size == 0)
    fuse_reply_xattr(request, value.size());
  else if (size < value.size())
    fuse_reply_err(request, ERANGE);
  else
    fuse_reply_buf(request, value.data(), value.size());
}

void GetAttribute(fuse_req_t request, fuse_ino_t ino, const char* name, size_t size) {
  for (const auto& [key, value] : AttributesList(VolumeOf(request), ino))
    if (key == name) {
      ReplyValue(request, value, size);
      return;
    }
  fuse_reply_err(request, ENODATA);
}

void ListAttributes(fuse_req_t request, fuse_ino_t ino, size_t size) {
  std::string names;
  for (const auto& [key, value] : AttributesList(VolumeOf(request), ino)) names.append(key).push_back('\0');
  ReplyValue(request, names, size);
}

void StatFileSystem(fuse_req_t request, fuse_ino_t) {
  MountedVolume& volume = VolumeOf(request);
  struct statvfs st {};
  st.f_bsize = st.f_frsize = volume.BlockSize() ? volume.BlockSize() : 4096;
  st.f_blocks = volume.BlockCount();
  st.f_files = volume.Tree().Count();
  st.f_namemax = 255;
  st.f_flag = ST_RDONLY | ST_NOSUID | ST_NODEV;
  fuse_reply_statfs(request, &st);
}

void RefuseWrite(fuse_req_t request) { fuse_reply_err(request, EROFS); }

void Access(fuse_req_t request, fuse_ino_t ino, int mask) {
  if (VolumeOf(request).Tree().Node(ino) == nullptr)
    fuse_reply_err(request, ENOENT);
  else
    fuse_reply_err(request, (mask & W_OK) ? EROFS : 0);
}

void Init(void*, fuse_conn_info* connection) {
  // Large reads of big files, and folders listed with their attributes in one go.
  connection->max_readahead = static_cast<unsigned>(kMostRead);
  if (connection->capable & FUSE_CAP_READDIRPLUS) connection->want |= FUSE_CAP_READDIRPLUS;
  for (const unsigned capability : {FUSE_CAP_NO_OPEN_SUPPORT, FUSE_CAP_NO_OPENDIR_SUPPORT, FUSE_CAP_CACHE_SYMLINKS})
    if (connection->capable & capability) connection->want |= capability;
  kernelOpensFiles = (connection->want & FUSE_CAP_NO_OPEN_SUPPORT) != 0;
  kernelOpensFolders = (connection->want & FUSE_CAP_NO_OPENDIR_SUPPORT) != 0;
}

fuse_lowlevel_ops Operations() {
  fuse_lowlevel_ops ops{};
  ops.init = Init;
  ops.lookup = Lookup;
  ops.getattr = GetAttributes;
  ops.readlink = ReadLink;
  ops.opendir = OpenFolder;
  ops.readdir = ReadFolderPlain;
  ops.readdirplus = ReadFolderPlus;
  ops.open = Open;
  ops.read = Read;
  ops.getxattr = GetAttribute;
  ops.listxattr = ListAttributes;
  ops.statfs = StatFileSystem;
  ops.access = Access;
  ops.setxattr = [](fuse_req_t r, fuse_ino_t, const char*, const char*, size_t, int) { RefuseWrite(r); };
  ops.removexattr = [](fuse_req_t r, fuse_ino_t, const char*) { RefuseWrite(r); };
  ops.setattr = [](fuse_req_t r, fuse_ino_t, struct stat*, int, fuse_file_info*) { RefuseWrite(r); };
  return ops;
}

}  // namespace

std::unique_ptr<FuseMount> FuseMount::Make(MountedVolume& volume, const std::string& mountpoint,
                                           const std::string& fsName, std::string& why) {
  // Options are split at commas and unescaped at backslashes: none may come from the name.
  std::string safeName = fsName;
  for (char& c : safeName)
    if (c == ',' || c == '\\' || c == ' ') c = '_';
  // No default_permissions: a recovered file is readable whatever mode the damaged disk gives it.
  const std::string mountOptions = "ro,nosuid,nodev,noatime,subtype=vantrel,fsname=" + safeName;
  std::array<std::string, 3> words{"vantrel", "-o", mountOptions};
  std::array<char*, 3> argv{words[0].data(), words[1].data(), words[2].data()};
  fuse_args args = FUSE_ARGS_INIT(static_cast<int>(argv.size()), argv.data());
  // The session may copy the arguments into memory of its own; it is freed on every way out.
  struct FreedArgs {
    fuse_args& args;
    ~FreedArgs() { fuse_opt_free_args(&args); }
  } freed{args};
  static const fuse_lowlevel_ops ops = Operations();
  auto served = std::make_unique<Served>(volume);
  fuse_session* session = fuse_session_new(&args, &ops, sizeof ops, served.get());
  if (session == nullptr) {
    why = "the FUSE session could not be started";
    return nullptr;
  }
  std::unique_ptr<FuseMount> made(new FuseMount(session, std::move(served)));
  // The unmount at the end names the folder again, from wherever the server then is.
  std::error_code error;
  const std::string absolute = std::filesystem::absolute(mountpoint, error).lexically_normal().string();
  if (error || fuse_session_mount(session, absolute.c_str()) != 0) {
    why = "cannot mount on " + mountpoint + " (is /dev/fuse there, and fusermount3?)";
    return nullptr;
  }
  made->mounted_ = true;
  made->served_->fill.Start(session);
  return made;
}

FuseMount::~FuseMount() {
  served_->fill.Stop();
  if (mounted_) fuse_session_unmount(session_);
  fuse_session_destroy(session_);
}

int Serve(MountedVolume& volume, const ServeOptions& options) {
  std::string why;
  const auto mount = FuseMount::Make(volume, options.mountpoint, options.fsName, why);
  if (!mount) {
    std::cerr << "vantrel-cli: " << why << '\n';
    return 2;
  }
  fuse_session* session = mount->Session();
  // Ctrl-C and SIGTERM end the loop; the handlers go before the mount is undone.
  if (fuse_set_signal_handlers(session) != 0) return 2;
  struct Handlers {
    fuse_session* session;
    ~Handlers() { fuse_remove_signal_handlers(session); }
  } handlers{session};
  if (options.onMounted) options.onMounted();
  if (fuse_daemonize(options.foreground ? 1 : 0) != 0) return 1;
  fuse_loop_config* config = fuse_loop_cfg_create();
  fuse_loop_cfg_set_max_threads(config, 16);
  const int result = fuse_session_loop_mt(session, config);
  fuse_loop_cfg_destroy(config);
  // A loop ended by a signal reports the signal's number: Ctrl-C is a clean end too.
  return result == 0 || result == SIGINT || result == SIGTERM || result == SIGHUP ? 0 : 1;
}

}  // namespace vantrel::mount
