#include "rules/card_swipe_steps.h"

#include "carddata/card_decoder.h"
#include "reader/input_report.h"

namespace corvalt {

CardSwipeSteps::CardSwipeSteps(ReaderConnection& connection, CardData& card) : m_connection(connection), m_card(card) {}

void CardSwipeSteps::LoadDataUsageSizes()
{
    corvalt::LoadDataUsageSizes(m_connection, m_card);
}

bool CardSwipeSteps::PollInputReport()
{
    return corvalt::PollInputReport(m_connection);
}

bool CardSwipeSteps::DecodeCardReport()
{
    return corvalt::DecodeCardReport(m_connection, m_card);
}

void CardSwipeSteps::PresentCardData()
{
    if (m_presenter != nullptr)
        m_presenter->PresentCardData(m_card);
}

}  // namespace corvalt
