-- The fetch benchmark's table: 1,000,000 rows of 10 columns (integers, doubles, short texts,
-- dates; a NULL in one row of twenty). Made with: sqlite3 fetch.db ".read bench/fetch-db.sql"
CREATE TABLE bench (
  id          INTEGER PRIMARY KEY,
  customer_id INTEGER NOT NULL,
  quantity    INTEGER NOT NULL,
  unit_price  REAL NOT NULL,
  amount      REAL NOT NULL,
  customer    VARCHAR(30) NOT NULL,
  sku         VARCHAR(12) NOT NULL,
  city        VARCHAR(20) NOT NULL,
  order_date  DATE NOT NULL,
  ship_date   DATE
);
WITH RECURSIVE seq(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM seq WHERE i < 1000000)
INSERT INTO bench
SELECT i,
       1 + (i * 7919) % 50000,
       1 + (i * 31) % 100,
       ((i * 104729) % 100000) / 100.0,
       round((1 + (i * 31) % 100) * (((i * 104729) % 100000) / 100.0) * 1.07, 4),
       'Customer ' || (1 + (i * 7919) % 50000),
       printf('SKU-%06d', (i * 13) % 250000),
       CASE i % 8 WHEN 0 THEN 'Lisbon' WHEN 1 THEN 'Porto' WHEN 2 THEN 'Madrid' WHEN 3 THEN 'Lyon'
                  WHEN 4 THEN 'Paris' WHEN 5 THEN 'Köln' WHEN 6 THEN 'Kraków' ELSE 'Zürich' END,
       date('2020-01-01', '+' || (i % 1800) || ' days'),
       CASE WHEN i % 20 = 0 THEN NULL ELSE date('2020-01-01', '+' || (i % 1800 + 1 + i % 9) || ' days') END
FROM seq;
