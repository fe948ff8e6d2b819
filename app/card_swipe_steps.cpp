#include "app/card_swipe_steps.h"

#include "carddata/card_decoder.h"
#include "reader/input_report.h"

namespace corvalt {

CardSwipeSteps::CardSwipeSteps(ReaderConnection& connection, CardData& card) : connection_(connection), card_(card)
{
}

void CardSwipeSteps::LoadDataUsageSizes()
{
    corvalt::LoadDataUsageSizes(connection_, card_);
}

bool CardSwipeSteps::PollInputReport()
{
    return corvalt::PollInputReport(connection_);
}

bool CardSwipeSteps::DecodeCardReport()
{
    return corvalt::DecodeCardReport(connection_, card_);
}

void CardSwipeSteps::PresentCardData()
{
    if (presenter_ != nullptr)
        presenter_->PresentCardData(card_);
}

}  // namespace corvalt
