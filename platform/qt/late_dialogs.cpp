#include "platform/qt/late_dialogs.h"

#include <QAbstractEventDispatcher>

namespace solka {

LateDialogs::LateDialogs(PlayerDialogs& models, QWidget* owner, std::function<void(QWidget*)> built)
    : models_(models),
      owner_(owner),
      built_(std::move(built)),
      form2OnUse_([this]() -> ModalWindow& {
        Build();
        return *form2_;
      }),
      form3OnUse_([this]() -> ModalWindow& {
        Build();
        return *form3_;
      }) {
  models_.Form2().SetWindow(&form2OnUse_);
  models_.Form3().SetWindow(&form3OnUse_);
}

LateDialogs::~LateDialogs() {
  QObject::disconnect(idleHook_);
  models_.Form2().SetWindow(nullptr);
  models_.Form3().SetWindow(nullptr);
}

void LateDialogs::BuildWhenIdle(std::function<bool()> startupDone) {
  QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
  if (!dispatcher) return;
  // Connected after the core's idle hook, so it runs after the start-up's idle step in the
  // same pass.
  idleHook_ = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock,
                               [this, startupDone = std::move(startupDone), dispatcher] {
                                 if (!startupDone()) return;
                                 QObject::disconnect(idleHook_);
                                 Build();
                                 dispatcher->wakeUp();  // what building posted is handled now
                               });
}

void LateDialogs::Build() {
  if (form2_) return;
  form2_ = std::make_unique<DialogWindow>(TForm2::Design(), models_.Form2().Form, models_.Form2(),
                                          owner_);
  form3_ = std::make_unique<DialogWindow>(TForm3::Design(), models_.Form3().Form, models_.Form3(),
                                          owner_);
  if (built_) built_(form2_->Control("FIListBox1"));
}

}  // namespace solka
