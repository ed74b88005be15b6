#include "Animation/Skeleton.h"

void Slot_SetAttachment(Slot* slot, Attachment* attachment)
{
    if (slot->attachment == attachment) return;
    slot->attachment = attachment;
    slot->attachmentTime = slot->bone->skeleton->time;
    slot->deform.clear();
}

void Slot_ApplySetupPose(Slot* slot)
{
    const SlotData* data = slot->data;
    slot->r = data->r, slot->g = data->g, slot->b = data->b, slot->a = data->a;
    if (!data->hasAttachmentName) {
        Slot_SetAttachment(slot, nullptr);
        return;
    }
    // Cleared first, so that the attachment time and deform reset even when
    // the lookup finds the attachment the slot already shows.
    slot->attachment = nullptr;
    Slot_SetAttachment(slot, Skeleton_LookupAttachment(slot->bone->skeleton, data->index, data->attachmentName));
}
