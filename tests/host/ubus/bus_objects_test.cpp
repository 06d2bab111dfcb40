#include <gtest/gtest.h>

#include "bus_test_support.h"

namespace {

using bus_test::EchoObject;

class BusObjects : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(a_ = ubus_connect(nullptr), nullptr);
        ASSERT_NE(b_ = ubus_connect(nullptr), nullptr);
    }
    void TearDown() override {
        ubus_free(a_);
        ubus_free(b_);
    }
    ubus_context* a_ = nullptr;
    ubus_context* b_ = nullptr;
};

TEST_F(BusObjects, SecondObjectWithANameInUseIsRefused) {
    EchoObject first("shared_name");
    EchoObject second("shared_name");
    ASSERT_EQ(ubus_add_object(a_, &first.object), 0);
    EXPECT_EQ(ubus_add_object(b_, &second.object), UBUS_STATUS_INVALID_ARGUMENT);
    EXPECT_EQ(second.object.id, 0u);
    uint32_t id = 0;
    ASSERT_EQ(ubus_lookup_id(b_, "shared_name", &id), 0);
    EXPECT_EQ(id, first.object.id);

    ASSERT_EQ(ubus_remove_object(a_, &first.object), 0);
    EXPECT_EQ(first.object.id, 0u);
    EXPECT_EQ(ubus_add_object(b_, &second.object), 0);
}

TEST_F(BusObjects, AnObjectIsRegisteredOnceWithAnIdOfItsOwnAndRemovedByItsOwnerOnly) {
    EchoObject object("owned");
    EchoObject same_type("same_type");
    ASSERT_EQ(ubus_add_object(a_, &object.object), 0);
    EXPECT_EQ(ubus_add_object(a_, &object.object), UBUS_STATUS_INVALID_ARGUMENT);
    ASSERT_EQ(ubus_add_object(a_, &same_type.object), 0);
    EXPECT_NE(object.object.id, same_type.object.id);
    EXPECT_NE(object.object.type->id, 0u);
    EXPECT_EQ(ubus_remove_object(b_, &object.object), UBUS_STATUS_PERMISSION_DENIED);
    EXPECT_EQ(ubus_remove_object(a_, &object.object), 0);
    EXPECT_EQ(ubus_remove_object(a_, &object.object), UBUS_STATUS_NOT_FOUND);
}

TEST_F(BusObjects, ObjectsLeaveTheBusWithTheirConnection) {
    EchoObject object("goes_with_a");
    ASSERT_EQ(ubus_add_object(a_, &object.object), 0);
    ubus_free(a_);
    a_ = nullptr;
    uint32_t id = 0;
    EXPECT_EQ(ubus_lookup_id(b_, "goes_with_a", &id), UBUS_STATUS_NOT_FOUND);
    EchoObject again("goes_with_a");
    EXPECT_EQ(ubus_add_object(b_, &again.object), 0);
}

}  // namespace
