#include "run_plan.h"

#include <map>
#include <tuple>

#include "console_host.h"
#include "os_paths.h"
#include "path_names.h"

namespace quillo::cli {
namespace {

// One file, however it is named: the identity of an existing file, else
// its folder's identity and its name's key (or, with no folder to look at,
// its path as written).
struct FileKey {
    int kind = 0;  // 0: an existing file, 1: a name in a folder, 2: a path
    uint64_t volume = 0;
    uint64_t index = 0;
    uint64_t indexHigh = 0;
    std::string name;
    bool operator<(const FileKey& other) const {
        return std::tie(kind, volume, index, indexHigh, name) <
               std::tie(other.kind, other.volume, other.index, other.indexHigh, other.name);
    }
};

// Where a name leads. No key for what is written as it stands (a device, a
// pipe, a terminal): two writers of /dev/null replace nothing.
struct Place {
    FileIdentity identity;  // of an existing file or folder
    FileKey key;
    bool keyed = false;
};

Place Locate(const std::string& path) {
    Place place;
    const std::string final = FinalTarget(path);
    const PathStatus status = StatusOf(final);
    place.identity = status.identity;
    if (status.kind == PathKind::File || status.kind == PathKind::Folder) {
        const FileIdentity& id = status.identity;
        place.key = {0, id.volume, id.index, id.indexHigh, {}};
        place.keyed = id.known;
    } else if (status.kind == PathKind::Missing) {
        const std::string_view folder = FolderPart(final);
        const FileIdentity where = StatusOf(folder.empty() ? "." : std::string(folder)).identity;
        place.key = where.known ? FileKey{1, where.volume, where.index, where.indexHigh,
                                          FileNameKey(FileNamePart(final))}
                                : FileKey{2, 0, 0, 0, final};
        place.keyed = true;
    }
    return place;
}

struct Claim {
    size_t source;
    bool isSource;  // read by `source`, else written by it
};

std::string Shown(const std::string& name, const char* stream) {
    return name == "-" ? stream : name;
}

std::string NeverWrittenOver(const std::string& output, const std::string& source) {
    return "srt2rt: " + output + ": is the source " + source + " itself; it is never written over";
}

}  // namespace

RunPlan PlanRun(const Options& options) {
    RunPlan plan;
    std::map<FileKey, Claim> claims;
    std::vector<FileIdentity> sourceIdentities;
    for (size_t i = 0; i < options.sources.size(); ++i) {
        const std::string& source = options.sources[i];
        if (source == "-") {
            sourceIdentities.push_back(OsFile::StandardInput().Identity());
        } else {
            const Place place = Locate(source);
            sourceIdentities.push_back(place.identity);
            if (place.keyed) {
                claims.emplace(place.key, Claim{i, true});
            }
        }
        SourcePlan entry;
        entry.source = source;
        entry.document = options.output ? *options.output : WithLastExtension(source, ".rt");
        if (options.smilVideo) {
            entry.smil = WithLastExtension(entry.document, ".smil");
        }
        plan.sources.push_back(std::move(entry));
    }

    for (size_t i = 0; i < plan.sources.size(); ++i) {
        SourcePlan& entry = plan.sources[i];
        const std::string source = Shown(entry.source, "standard input");
        // Never opened: a device Windows reserves may hang whoever opens it.
        for (const std::string* name : {&entry.source, &entry.document, &entry.smil}) {
            if (const std::string why = DeviceRefusal(*name); !why.empty()) {
                entry.refusal = "srt2rt: " + *name + ": " + why;
                break;
            }
        }
        if (!entry.refusal.empty()) {
            continue;
        }
        if (!entry.smil.empty() && StatusOf(entry.document).kind == PathKind::Device) {
            entry.refusal = "srt2rt: " + entry.document +
                            ": --smil writes the presentation beside a document file, not a device";
            continue;
        }
        std::vector<FileKey> written;
        for (const std::string* output : {&entry.document, &entry.smil}) {
            if (output->empty()) {
                continue;
            }
            // Standard input and output come with -o, for one source alone.
            if (*output == "-") {
                if (OsFile::StandardOutput().Identity() == sourceIdentities[i]) {
                    entry.refusal = NeverWrittenOver("standard output", source);
                    break;
                }
                continue;
            }
            const Place place = Locate(*output);
            if (entry.source == "-" && place.identity == sourceIdentities[i]) {
                entry.refusal = NeverWrittenOver(*output, source);
                break;
            }
            if (!place.keyed) {
                continue;
            }
            if (!written.empty() && !(written[0] < place.key) && !(place.key < written[0])) {
                entry.refusal = "srt2rt: " + *output +
                                ": the document and the presentation would both be this file";
                break;
            }
            const auto found = claims.find(place.key);
            if (found == claims.end()) {
                written.push_back(place.key);
                continue;
            }
            const Claim& claim = found->second;
            if (claim.source == i && claim.isSource) {
                entry.refusal = NeverWrittenOver(*output, source);
                break;
            }
            const std::string& other = plan.sources[claim.source].source;
            plan.collision = claim.isSource
                                 ? "srt2rt: " + source + " would be written into " + *output +
                                       ", which is the source " + other + "; nothing converted"
                                 : "srt2rt: " + other + " and " + source + " would both write " +
                                       *output + "; nothing converted";
            return plan;
        }
        if (entry.refusal.empty()) {
            for (const FileKey& key : written) {
                claims.emplace(key, Claim{i, false});
            }
        }
    }
    return plan;
}

}  // namespace quillo::cli
