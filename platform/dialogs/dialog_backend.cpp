#include "platform/dialogs/dialog_backend.h"

namespace korvan::platform {
namespace {

DialogBackend* installedBackend = nullptr;

}  // namespace

DialogBackend& ActiveDialogBackend() {
    return installedBackend != nullptr ? *installedBackend : SystemDialogBackend();
}

void InstallDialogBackend(DialogBackend* backend) { installedBackend = backend; }

ScopedDialogBackend::ScopedDialogBackend(DialogBackend& backend) : previous_(installedBackend) {
    InstallDialogBackend(&backend);
}

ScopedDialogBackend::~ScopedDialogBackend() { InstallDialogBackend(previous_); }

}  // namespace korvan::platform
