// The peer library's side of the comparison (bench/peers/run.sh): times astronomy-engine on
// the instants the program's side wrote, the same measures, and prints one line per
// measure: its name and the microseconds per call (the best of several passes).
//
//   node astronomy_engine_times.js MODULE_FOLDER INSTANTS_FILE
'use strict';
const fs = require('fs');
const path = require('path');

const Astronomy = require(path.resolve(process.argv[2], 'astronomy-engine'));
const jds = fs.readFileSync(process.argv[3], 'utf8').trim().split('\n').map(Number);
const PASSES = 15;

// Every pass gets new time objects: the library keeps what it worked out for an instant
// (nutation, the Earth's tilt) in its time object, as the program keeps them in its caches.
function times() {
    return jds.map((jd) => Astronomy.AstroTime.FromTerrestrialTime(jd - 2451545.0));
}

function time(calls, pass) {
    let best = Infinity;
    let sink = 0;
    for (let p = 0; p <= PASSES; ++p) {
        const ts = times();
        const start = process.hrtime.bigint();
        sink += pass(ts);
        const us = Number(process.hrtime.bigint() - start) / 1000;
        if (p > 0) best = Math.min(best, us / calls);  // the first pass warms up
    }
    process.stdout.write(`# checksum ${sink}\n`);  // keeps the work from being left out
    return best;
}

function print(name, us) {
    process.stdout.write(`${name}\t${us.toFixed(4)}\n`);
}

// Geocentric apparent places of date.
print('moon', time(jds.length, (ts) => {
    let s = 0;
    for (const t of ts) s += Astronomy.EclipticGeoMoon(t).lon;
    return s;
}));
print('sun', time(jds.length, (ts) => {
    let s = 0;
    for (const t of ts) s += Astronomy.SunPosition(t).elon;
    return s;
}));

function apparentOfDate(body, t) {
    const v = Astronomy.GeoVector(body, t, true);
    return Astronomy.EquatorFromVector(Astronomy.RotateVector(Astronomy.Rotation_EQJ_EQD(t), v)).ra;
}

const planets = [
    ['mercury', Astronomy.Body.Mercury], ['venus', Astronomy.Body.Venus], ['mars', Astronomy.Body.Mars],
    ['jupiter', Astronomy.Body.Jupiter], ['saturn', Astronomy.Body.Saturn], ['uranus', Astronomy.Body.Uranus],
    ['neptune', Astronomy.Body.Neptune],
];
for (const [name, body] of planets) {
    print(name, time(jds.length, (ts) => {
        let s = 0;
        for (const t of ts) s += apparentOfDate(body, t);
        return s;
    }));
}
print('seven_planets_per_body', time(7 * jds.length, (ts) => {
    let s = 0;
    for (const t of ts) for (const [, body] of planets) s += apparentOfDate(body, t);
    return s;
}));

// Vienna; the rise and the set that follow the start of the instant's civil day.
const vienna = new Astronomy.Observer(48.2, 16.4, 200);
print('sun_rise_set_day', time(jds.length, (ts) => {
    let s = 0;
    for (const t of ts) {
        const day = t.AddDays(-(((t.ut + 0.5 + 1 / 24) % 1 + 1) % 1));
        const rise = Astronomy.SearchRiseSet(Astronomy.Body.Sun, vienna, +1, day, 1);
        const set = Astronomy.SearchRiseSet(Astronomy.Body.Sun, vienna, -1, day, 1);
        s += (rise ? rise.ut : 0) + (set ? set.ut : 0);
    }
    return s;
}));
