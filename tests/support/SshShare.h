// A real network share on this machine: an SSH server listening on
// 127.0.0.1 only, with keys made for the test, and its folder mounted over
// the network with sshfs (a FUSE file system the system counts as remote).
// Needs root, the SSH server and sshfs; where the machine refuses any of it,
// Mounted() is false and why() says what.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/TempDir.h"

namespace varnoket::test {

class SshShare {
 public:
  // Serves `exported` and mounts it on `mountPoint` (both made if missing).
  SshShare(const std::string& work, const std::string& exported, const std::string& mountPoint)
      : work_(work), exported_(exported), mountPoint_(mountPoint) {
    std::filesystem::create_directories(work_);
    std::filesystem::create_directories(exported_);
    std::filesystem::create_directories(mountPoint_);
    if (::geteuid() != 0) {
      why_ = "serving a share needs root";
      return;
    }
    for (const char* tool : {"/usr/sbin/sshd", "/usr/bin/sshfs", "/usr/bin/ssh-keygen"}) {
      if (::access(tool, X_OK) != 0) {
        why_ = std::string(tool) + " is not installed";
        return;
      }
    }
    port_ = 20000 + static_cast<int>(::getpid() % 20000);
    if (!Shell("ssh-keygen -q -t ed25519 -N '' -f " + work_ +
               "/host_key && ssh-keygen -q -t "
               "ed25519 -N '' -f " +
               work_ + "/user_key && cp " + work_ + "/user_key.pub " + work_ +
               "/authorized_keys && mkdir -p /run/sshd")) {
      why_ = "the keys could not be made";
      return;
    }
    WriteFile(work_ + "/sshd_config",
              "Port " + std::to_string(port_) + "\nListenAddress 127.0.0.1\nHostKey " + work_ +
                  "/host_key\nAuthorizedKeysFile " + work_ +
                  "/authorized_keys\nPermitRootLogin prohibit-password\nPasswordAuthentication "
                  "no\nUsePAM no\nStrictModes no\nPidFile " +
                  work_ + "/sshd.pid\nSubsystem sftp internal-sftp\n");
    if (!Shell("/usr/sbin/sshd -f " + work_ + "/sshd_config -E " + work_ + "/sshd.log")) {
      why_ = "the SSH server did not start: " + ReadOr(work_ + "/sshd.log");
      return;
    }
    served_ = true;
    Mount();
  }

  ~SshShare() {
    Unmount();
    if (served_) Shell("kill $(cat " + work_ + "/sshd.pid) 2>/dev/null");
  }
  SshShare(const SshShare&) = delete;
  SshShare& operator=(const SshShare&) = delete;

  bool Mount() {
    // The server may take a moment to listen: a few tries.
    for (int i = 0; i < 20 && !mounted_; ++i) {
      mounted_ = Shell("sshfs -o IdentityFile=" + work_ +
                       "/user_key,StrictHostKeyChecking=no,UserKnownHostsFile=/dev/null,port=" +
                       std::to_string(port_) + " root@127.0.0.1:" + exported_ + " " + mountPoint_ +
                       " 2>>" + work_ + "/sshfs.log");
      if (!mounted_) ::usleep(250000);
    }
    if (!mounted_) why_ = "sshfs could not mount the share: " + ReadOr(work_ + "/sshfs.log");
    client_ = mounted_ ? FindClient() : 0;
    return mounted_;
  }

  // The share drops as a network does: the client goes at once, its mount
  // point left without a file system.
  void Drop() {
    KillClient(client_);
    Release();
  }

  // The share stops answering, as a server that hangs does: every call on
  // it waits until Thaw or Drop. Signals go to the client's process id
  // (found at mount time): a search of the process table would read the
  // command lines of processes waiting on the share.
  void Freeze() const {
    if (client_ > 0) ::kill(client_, SIGSTOP);
  }
  void Thaw() const {
    if (client_ > 0) ::kill(client_, SIGCONT);
  }
  // The client of the share goes at once; safe from any thread, and every
  // call waiting on the share fails.
  static void KillClient(pid_t client) {
    if (client > 0) ::kill(client, SIGKILL);
  }
  pid_t Client() const { return client_; }

  void Unmount() {
    if (mounted_) Shell("fusermount -u " + mountPoint_ + " 2>/dev/null");
    Release();
  }

  bool Mounted() const { return mounted_; }
  const std::string& why() const { return why_; }

 private:
  static bool Shell(const std::string& command) { return std::system(command.c_str()) == 0; }

  // Whatever is left mounted at the mount point goes, lazily when busy.
  void Release() {
    Shell("grep -q ' " + mountPoint_ + " ' /proc/mounts && (fusermount -u -z " + mountPoint_ +
          " || umount -l " + mountPoint_ + ") 2>/dev/null");
    mounted_ = false;
  }
  static std::string ReadOr(const std::string& path) {
    try {
      return ReadFile(path);
    } catch (...) {
      return "(no log)";
    }
  }

  // The sshfs process serving this mount point: its command line names it.
  pid_t FindClient() const {
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
      const std::string name = entry.path().filename().string();
      if (name.find_first_not_of("0123456789") != std::string::npos) continue;
      std::string command;
      try {
        if (ReadFile(entry.path().string() + "/comm") != "sshfs\n") continue;
        command = ReadFile(entry.path().string() + "/cmdline");
      } catch (...) {
        continue;
      }
      for (char& c : command) {
        if (c == '\0') c = ' ';
      }
      // Each argument ends with a NUL, a space now.
      if (command.find(" " + mountPoint_ + " ") != std::string::npos) {
        return static_cast<pid_t>(std::stoi(name));
      }
    }
    return 0;
  }

  std::string work_;
  std::string exported_;
  std::string mountPoint_;
  int port_ = 0;
  bool served_ = false;
  bool mounted_ = false;
  pid_t client_ = 0;
  std::string why_;
};

}  // namespace varnoket::test
