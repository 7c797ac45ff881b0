#pragma once

/// A caller's transformation of plane positions (a datum shift, a rotation, a scale...): it
/// changes one position in place and answers false to stop the whole update.
class I2dPosUpdateCallback {
public:
    /// Transforms one position (north, east, in the cache's unit: metres) in place; false stops the
    /// update.
    virtual bool updatePos(double& n, double& e) = 0;

protected:
    I2dPosUpdateCallback() = default;
    I2dPosUpdateCallback(const I2dPosUpdateCallback&) = default;
    I2dPosUpdateCallback& operator=(const I2dPosUpdateCallback&) = default;
    virtual ~I2dPosUpdateCallback() = default;
};
