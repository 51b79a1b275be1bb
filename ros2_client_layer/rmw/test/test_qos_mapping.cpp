// ROS QoS profiles as DDS QoS.
#include <gtest/gtest.h>

#include "qos_mapping.hpp"
#include "rmw/qos_profiles.h"

namespace client_layer::rmw::detail {
namespace {

TEST(QosMapping, DefaultProfile)
{
  const QosPtr qos = make_endpoint_qos(rmw_qos_profile_default, false, "");
  dds_history_kind_t history;
  std::int32_t depth;
  ASSERT_TRUE(dds_qget_history(qos.get(), &history, &depth));
  EXPECT_EQ(history, DDS_HISTORY_KEEP_LAST);
  EXPECT_EQ(depth, 10);
  dds_reliability_kind_t reliability;
  dds_duration_t max_blocking;
  ASSERT_TRUE(dds_qget_reliability(qos.get(), &reliability, &max_blocking));
  EXPECT_EQ(reliability, DDS_RELIABILITY_RELIABLE);
  EXPECT_EQ(max_blocking, DDS_INFINITY);
  dds_durability_kind_t durability;
  ASSERT_TRUE(dds_qget_durability(qos.get(), &durability));
  EXPECT_EQ(durability, DDS_DURABILITY_VOLATILE);
  dds_liveliness_kind_t liveliness;
  dds_duration_t lease;
  ASSERT_TRUE(dds_qget_liveliness(qos.get(), &liveliness, &lease));
  EXPECT_EQ(liveliness, DDS_LIVELINESS_AUTOMATIC);
  EXPECT_EQ(lease, DDS_INFINITY);
  bool autodispose = true;
  ASSERT_TRUE(dds_qget_writer_data_lifecycle(qos.get(), &autodispose));
  EXPECT_FALSE(autodispose);
  dds_duration_t unset;
  EXPECT_FALSE(dds_qget_deadline(qos.get(), &unset));
  EXPECT_FALSE(dds_qget_lifespan(qos.get(), &unset));
  dds_ignorelocal_kind_t ignore;
  EXPECT_FALSE(dds_qget_ignorelocal(qos.get(), &ignore));
  void * user_data = nullptr;
  std::size_t size = 0;
  EXPECT_FALSE(dds_qget_userdata(qos.get(), &user_data, &size));
}

TEST(QosMapping, SystemDefaultsAndDepthZero)
{
  const QosPtr qos = make_endpoint_qos(rmw_qos_profile_system_default, false, "");
  dds_history_kind_t history;
  std::int32_t depth;
  ASSERT_TRUE(dds_qget_history(qos.get(), &history, &depth));
  EXPECT_EQ(history, DDS_HISTORY_KEEP_LAST);
  EXPECT_EQ(depth, 1);
  dds_reliability_kind_t reliability;
  dds_duration_t max_blocking;
  ASSERT_TRUE(dds_qget_reliability(qos.get(), &reliability, &max_blocking));
  EXPECT_EQ(reliability, DDS_RELIABILITY_RELIABLE);
  dds_durability_kind_t durability;
  ASSERT_TRUE(dds_qget_durability(qos.get(), &durability));
  EXPECT_EQ(durability, DDS_DURABILITY_VOLATILE);
}

TEST(QosMapping, SensorDataAndKeepAll)
{
  QosPtr qos = make_endpoint_qos(rmw_qos_profile_sensor_data, false, "");
  dds_reliability_kind_t reliability;
  dds_duration_t max_blocking;
  ASSERT_TRUE(dds_qget_reliability(qos.get(), &reliability, &max_blocking));
  EXPECT_EQ(reliability, DDS_RELIABILITY_BEST_EFFORT);

  rmw_qos_profile_t keep_all = rmw_qos_profile_default;
  keep_all.history = RMW_QOS_POLICY_HISTORY_KEEP_ALL;
  qos = make_endpoint_qos(keep_all, false, "");
  dds_history_kind_t history;
  std::int32_t depth;
  ASSERT_TRUE(dds_qget_history(qos.get(), &history, &depth));
  EXPECT_EQ(history, DDS_HISTORY_KEEP_ALL);
}

TEST(QosMapping, TransientLocalKeepsHistoryInDurabilityService)
{
  rmw_qos_profile_t profile = rmw_qos_profile_default;
  profile.durability = RMW_QOS_POLICY_DURABILITY_TRANSIENT_LOCAL;
  profile.depth = 7;
  const QosPtr qos = make_endpoint_qos(profile, false, "");
  dds_durability_kind_t durability;
  ASSERT_TRUE(dds_qget_durability(qos.get(), &durability));
  EXPECT_EQ(durability, DDS_DURABILITY_TRANSIENT_LOCAL);
  dds_duration_t cleanup;
  dds_history_kind_t kind;
  std::int32_t depth, max_samples, max_instances, max_per_instance;
  ASSERT_TRUE(dds_qget_durability_service(
      qos.get(), &cleanup, &kind, &depth, &max_samples, &max_instances, &max_per_instance));
  EXPECT_EQ(cleanup, 0);
  EXPECT_EQ(kind, DDS_HISTORY_KEEP_LAST);
  EXPECT_EQ(depth, 7);
  EXPECT_EQ(max_samples, DDS_LENGTH_UNLIMITED);
}

TEST(QosMapping, DurationsLivelinessIgnoreLocalAndUserData)
{
  rmw_qos_profile_t profile = rmw_qos_profile_default;
  profile.deadline = rmw_time_t{1, 500};
  profile.lifespan = rmw_time_t RMW_DURATION_INFINITE;
  profile.liveliness = RMW_QOS_POLICY_LIVELINESS_MANUAL_BY_TOPIC;
  profile.liveliness_lease_duration = rmw_time_t{2, 0};
  const QosPtr qos = make_endpoint_qos(profile, true, "clientid=1.2;");
  dds_duration_t deadline, lifespan, lease;
  ASSERT_TRUE(dds_qget_deadline(qos.get(), &deadline));
  EXPECT_EQ(deadline, 1000000500);
  ASSERT_TRUE(dds_qget_lifespan(qos.get(), &lifespan));
  EXPECT_EQ(lifespan, DDS_INFINITY);
  dds_liveliness_kind_t liveliness;
  ASSERT_TRUE(dds_qget_liveliness(qos.get(), &liveliness, &lease));
  EXPECT_EQ(liveliness, DDS_LIVELINESS_MANUAL_BY_TOPIC);
  EXPECT_EQ(lease, DDS_SECS(2));
  dds_ignorelocal_kind_t ignore;
  ASSERT_TRUE(dds_qget_ignorelocal(qos.get(), &ignore));
  EXPECT_EQ(ignore, DDS_IGNORELOCAL_PARTICIPANT);
  void * user_data = nullptr;
  std::size_t size = 0;
  ASSERT_TRUE(dds_qget_userdata(qos.get(), &user_data, &size));
  EXPECT_EQ(std::string(static_cast<char *>(user_data), size), "clientid=1.2;");
  dds_free(user_data);
}

TEST(QosMapping, RejectsUnknownPoliciesAndHugeDepth)
{
  EXPECT_THROW(make_endpoint_qos(rmw_qos_profile_unknown, false, ""), std::invalid_argument);
  rmw_qos_profile_t profile = rmw_qos_profile_default;
  profile.liveliness = RMW_QOS_POLICY_LIVELINESS_UNKNOWN;
  EXPECT_THROW(make_endpoint_qos(profile, false, ""), std::invalid_argument);
  profile = rmw_qos_profile_default;
  profile.depth = static_cast<std::size_t>(INT32_MAX) + 1;
  EXPECT_THROW(make_endpoint_qos(profile, false, ""), std::invalid_argument);
}

}  // namespace
}  // namespace client_layer::rmw::detail
