#include "TScrollEvents.h"

namespace velmora {

TScrollEvents fnSuspendDataSetEvents(Dataset& dataset) {
    dataset.disableControls();
    TScrollEvents saved;
    saved.BeforeScroll = std::move(dataset.beforeScroll);
    saved.AfterScroll = std::move(dataset.afterScroll);
    saved.AutoCalcFields = dataset.autoCalcFields;
    dataset.beforeScroll = nullptr;
    dataset.afterScroll = nullptr;
    dataset.autoCalcFields = false;
    return saved;
}

void fnRestoreDataSetEvents(Dataset& dataset, TScrollEvents saved) {
    dataset.enableControls();
    dataset.beforeScroll = std::move(saved.BeforeScroll);
    dataset.afterScroll = std::move(saved.AfterScroll);
    dataset.autoCalcFields = saved.AutoCalcFields;
}

} // namespace velmora
