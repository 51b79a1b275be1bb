// rmw's message-lost status, as a subscription's event callback receives it.
#ifndef RMW__EVENTS_STATUSES__MESSAGE_LOST_H_
#define RMW__EVENTS_STATUSES__MESSAGE_LOST_H_

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct rmw_message_lost_status_s
{
  size_t total_count;         // messages lost since the subscription was made
  size_t total_count_change;  // of which since the callback last ran
} rmw_message_lost_status_t;

#ifdef __cplusplus
}
#endif

#endif  // RMW__EVENTS_STATUSES__MESSAGE_LOST_H_
