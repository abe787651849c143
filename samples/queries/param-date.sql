-- description: Orders placed on or after a date (DATE)
-- connection: Provider=SQLite;Data Source=sample.db
SELECT id, order_date, order_time, status
FROM orders
WHERE order_date >= ?DATE_"Orders from"?
ORDER BY order_date, order_time
