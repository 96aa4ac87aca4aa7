#include "browser/browser_actions.h"

#include "core/text.h"
#include "record/event_record.h"

namespace tlx::browser {

int channelForcedKind(int kind) {
    switch (kind) {
    case kKindSvxVolume:
        return kForceSvxVolumeChannel;
    case kKindPepp:
        return kForcePepp;
    case kKindGse2:
        return kForceGse2;
    default:
        return kForceSeedChannel;
    }
}

OpenPlan planOpen(const std::vector<const FileEntry*>& selected, bool dataSetMode) {
    OpenPlan plan;
    if (selected.empty()) return plan;
    plan.action = OpenPlan::Action::Open;
    if (dataSetMode) {
        const int forced = channelForcedKind(selected.front()->kind);
        if (entriesAgree(selected)) {
            OpenGroup group{{selected.front()->path}, {}, forced};
            for (const FileEntry* e : selected)
                group.channels.push_back(e->channel);
            plan.groups.push_back(std::move(group));
        } else {
            for (const FileEntry* e : selected)
                plan.groups.push_back({{e->path}, {e->channel}, forced});
        }
        return plan;
    }
    int dataSets = 0;
    for (const FileEntry* e : selected)
        dataSets += e->dataSet ? 1 : 0;
    if (dataSets > 1) {
        plan.action = OpenPlan::Action::Message;
        plan.message = "Only one Data Set can be selected.";
        return plan;
    }
    if (dataSets == 1 && selected.size() == 1) {
        plan.action = OpenPlan::Action::EnterDataSet;
        plan.dataSetPath = selected.front()->path;
        return plan;
    }
    if (entriesAgree(selected)) {
        OpenGroup group;
        for (const FileEntry* e : selected)
            group.files.push_back(e->path);
        plan.groups.push_back(std::move(group));
        return plan;
    }
    for (const FileEntry* e : selected)
        plan.groups.push_back({{e->path}, {}});
    return plan;
}

MailDraft planMail(const std::vector<std::string>& paths, const std::vector<std::uintmax_t>& sizes,
                   const std::string& station) {
    MailDraft draft;
    if (paths.size() > 4) {
        draft.message = "Too many files selected. Maximum = 4 files.";
        return draft;
    }
    for (std::size_t i = 0; i < paths.size() && i < sizes.size(); ++i) {
        if (sizes[i] == 0) continue;
        draft.attachments.push_back(paths[i]);
        draft.body += format("%s (%ju bytes)\n", paths[i].c_str(), sizes[i]);
    }
    if (draft.attachments.empty()) return draft;
    draft.ok = true;
    draft.subject = format(
        draft.attachments.size() > 1 ? "New event files from %s" : "New event file from %s", station.c_str());
    return draft;
}

} // namespace tlx::browser
