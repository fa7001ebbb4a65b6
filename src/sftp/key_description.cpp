#include "sftp/key_description.hpp"

#include <fstream>

namespace quill::sftp {

HostKey describeKey(const ssh_key key) {
    HostKey described{ssh_key_type_to_char(ssh_key_type(key)), "?"};
    unsigned char* hash = nullptr;
    std::size_t length = 0;
    if (ssh_get_publickey_hash(key, SSH_PUBLICKEY_HASH_SHA256, &hash, &length) == SSH_OK) {
        if (char* text = ssh_get_fingerprint_hash(SSH_PUBLICKEY_HASH_SHA256, hash, length)) {
            described.fingerprint = text;
            ssh_string_free_char(text);
        }
        ssh_clean_pubkey_hash(&hash);
    }
    return described;
}

std::optional<HostKey> knownHostKey(const std::string& knownHostsPath, const std::string& host, unsigned port) {
    // The name known_hosts keeps a host under.
    const std::string name = port == 22 ? host : "[" + host + "]:" + std::to_string(port);
    std::ifstream file(knownHostsPath);
    std::string line;
    while (std::getline(file, line)) {
        ssh_knownhosts_entry* entry = nullptr;
        if (ssh_known_hosts_parse_line(name.c_str(), line.c_str(), &entry) != SSH_OK || entry == nullptr) continue;
        std::optional<HostKey> known;
        if (entry->publickey != nullptr) known = describeKey(entry->publickey);
        ssh_knownhosts_entry_free(entry);
        if (known) return known;
    }
    return std::nullopt;
}

}  // namespace quill::sftp
