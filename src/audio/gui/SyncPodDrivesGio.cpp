#include "audio/gui/SyncPodDrivesGio.h"

#include <map>
#include <string>
#include <vector>

#include <unistd.h>

#ifdef ORVALIS_HAVE_GIO
#include <gio/gio.h>
#endif

#include "platform/core/Text.h"
#include "shell/base/Log.h"

namespace {
class GioDrives : public SyncPodDrives {
  public:
    std::vector<std::string> List() override {
        std::vector<std::string> out;
        m_paths.clear();
#ifdef ORVALIS_HAVE_GIO
        GVolumeMonitor* monitor = g_volume_monitor_get();
        if (!monitor) {
            Log("! SyncPod no volume monitor");
            return out;
        }
        GList* mounts = g_volume_monitor_get_mounts(monitor);
        for (GList* l = mounts; l; l = l->next) {
            GMount* mount = G_MOUNT(l->data);
            GDrive* drive = g_mount_get_drive(mount);
            const bool removable =
                drive && (g_drive_is_removable(drive) || g_drive_can_eject(drive));
            if (drive) g_object_unref(drive);
            if (!removable) continue;
            GFile* root = g_mount_get_root(mount);
            char* path = root ? g_file_get_path(root) : nullptr;
            if (root) g_object_unref(root);
            if (!path) continue; // not a local folder
            std::string folder = path;
            g_free(path);
            // A reader without its medium, or a read-only one, cannot take files.
            if (::access(folder.c_str(), W_OK) != 0) continue;
            std::string label;
            if (GVolume* volume = g_mount_get_volume(mount)) {
                if (char* name = g_volume_get_name(volume)) {
                    label = name;
                    g_free(name);
                }
                g_object_unref(volume);
            }
            if (label.empty()) {
                if (char* name = g_mount_get_name(mount)) {
                    label = name;
                    g_free(name);
                }
            }
            if (folder.empty() || folder.back() != '/') folder += '/';
            const std::string line = Trim(folder + " " + label);
            m_paths[line] = folder;
            out.push_back(line);
            SyncPodDrives_AddFolders(folder, out);
        }
        g_list_free_full(mounts, g_object_unref);
        g_object_unref(monitor);
#endif
        return out;
    }

    std::string PathOf(const std::string& line) override {
        const auto it = m_paths.find(line);
        return it == m_paths.end() ? line : it->second;
    }

  private:
    std::map<std::string, std::string> m_paths; // root line -> mount point
};
} // namespace

std::unique_ptr<SyncPodDrives> SyncPodDrives_Gio() {
    return std::make_unique<GioDrives>();
}
